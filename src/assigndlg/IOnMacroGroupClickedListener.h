#pragma once

#include <cstdint>
#include <string>

// Told when a row of the macro group list is clicked (the dialog listens).
class IOnMacroGroupClickedListener {
public:
    virtual ~IOnMacroGroupClickedListener() = default;
    virtual void OnMacroGroupClicked(std::int32_t row, const std::string& name) = 0;
};
