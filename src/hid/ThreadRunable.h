#pragma once

#include <memory>

#include "hid/BaseRunable.h"
#include "hid/IRunableThread.h"

// A work item that calls a member function of a target object.
template <class T>
class ThreadRunable : public BaseRunable {
public:
    using Member = int32_t (T::*)(int32_t value1, int32_t value2, const uint8_t* data, uint32_t dataLength);

    ThreadRunable(IRunableThread* thread, T* target, Member member)
        : thread_(thread), target_(target), member_(member) {}

    bool IsValid() const override { return target_ != nullptr && member_ != nullptr; }

    std::unique_ptr<BaseRunable> Clone() const override { return std::make_unique<ThreadRunable>(*this); }

    int32_t Run(int32_t v1, int32_t v2, const uint8_t* bytes, uint32_t length) override {
        return IsValid() ? (target_->*member_)(v1, v2, bytes, length) : 0;
    }

    IRunableThread* Thread() const { return thread_; }

private:
    IRunableThread* thread_;
    T* target_;
    Member member_;
};
