#include "app/SimDemo.h"

#include "platform/sim/SimPlatform.h"

std::unique_ptr<SimDemo> SimDemo::Create(platform::Platform& platform) {
    if (!dynamic_cast<platform::sim::SimPlatform*>(&platform)) return nullptr;
    return nullptr;
}
