# The platform seam: small interfaces named after what their callers need, and
# the few portable pieces (events) every backend shares.
kbconf_library(kbconf_platform)
target_sources(kbconf_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Event.cpp)
target_sources(kbconf_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Platform.cpp)
