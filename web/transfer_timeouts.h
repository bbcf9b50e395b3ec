#pragma once
// How long the HTTP clients wait on a server before they give up. Kept in one
// place so that every client uses the same values and tests can shorten them.

namespace orvendel {

struct TransferTimeouts {
  // Giving up on a connection that is not established within this time.
  int connect_seconds = 15;
  // Aborting a transfer that moves less than 1 byte per second for this long.
  // A transfer that keeps moving is never cut short, however long it takes.
  int stall_seconds = 30;
};

// The values in force; TransferTimeouts{} until set_transfer_timeouts.
TransferTimeouts transfer_timeouts();

// Replaces the values for every transfer that starts afterwards, on any
// thread. Values below 1 count as 1.
void set_transfer_timeouts(const TransferTimeouts& timeouts);

}  // namespace orvendel
