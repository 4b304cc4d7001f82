#pragma once
#include <QString>
#include <cstdint>

// Receives presses (action 0) and releases (action 1) of keys on the keyboard
// picture. Returning true means the event was handled and the picture does no
// marking of its own.
class ICoordButtonClickListener {
public:
    virtual ~ICoordButtonClickListener() = default;
    virtual bool OnCoordButtonClick(int32_t id, QString name, int action, uint32_t flags, int32_t x, int32_t y) = 0;
};
