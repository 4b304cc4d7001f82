#pragma once
// Everything of the HID seam in one include:
//   HidTypes.h      plain records (attributes, caps, interface entries, notices,
//                   access bits, error codes)
//   HidAsyncIo.h    one overlapped transfer: wait with time-out/abort, cancel
//   HidHandle.h     one opened interface: attributes, caps, features, transfers
//   NamedLock.h     system-wide re-entrant named locks
//   HidBackend.h    listing, opening, named locks, notices; CurrentHid()

#include "platform/HidAsyncIo.h"
#include "platform/HidBackend.h"
#include "platform/HidHandle.h"
#include "platform/HidNoticeSubscription.h"
#include "platform/HidTypes.h"
#include "platform/NamedLock.h"
