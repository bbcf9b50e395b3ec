#include "web/transfer_timeouts.h"

#include <algorithm>
#include <atomic>

namespace orvendel {
namespace {

std::atomic<int> connect_seconds{TransferTimeouts{}.connect_seconds};
std::atomic<int> stall_seconds{TransferTimeouts{}.stall_seconds};

}  // namespace

TransferTimeouts transfer_timeouts() {
  return TransferTimeouts{connect_seconds.load(), stall_seconds.load()};
}

void set_transfer_timeouts(const TransferTimeouts& timeouts) {
  connect_seconds = std::max(1, timeouts.connect_seconds);
  stall_seconds = std::max(1, timeouts.stall_seconds);
}

}  // namespace orvendel
