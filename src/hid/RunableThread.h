#pragma once

#include "hid/RunableThreadBase.h"

// The scheduler as the rest of the system names it.
template <int Variant = 0>
class RunableThread : public RunableThreadBase {
public:
    using RunableThreadBase::RunableThreadBase;
};
