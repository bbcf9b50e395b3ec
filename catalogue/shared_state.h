#pragma once
// The state the event handlers hand to the workers, and what keeps workers
// of one kind apart.

#include <atomic>
#include <cstdint>

namespace orvendel {

// A job of one kind of worker. Only the latest job started in its series is
// current; an earlier one is superseded and must stop and write nothing more.
class Job {
 public:
  Job() = default;
  Job(const std::atomic<std::uint64_t>* latest, std::uint64_t number)
      : latest_(latest), number_(number) {}
  // A default-constructed job is never superseded.
  bool current() const {
    return latest_ == nullptr || latest_->load(std::memory_order_relaxed) == number_;
  }

 private:
  const std::atomic<std::uint64_t>* latest_ = nullptr;
  std::uint64_t number_ = 0;
};

// Hands out jobs; starting one supersedes every earlier one of the series.
class JobSeries {
 public:
  Job start() {
    const std::uint64_t n = latest_.fetch_add(1, std::memory_order_relaxed) + 1;
    return Job(&latest_, n);
  }

 private:
  std::atomic<std::uint64_t> latest_{0};
};

// One per window. The three values are written by the handlers (and
// download_row by the download) and read by the workers; relaxed atomics,
// since each is a single value that orders nothing else.
struct SharedState {
  std::atomic<std::int32_t> current_page{0};
  std::atomic<bool> first_load{false};
  std::atomic<std::int32_t> download_row{0};

  JobSeries searches;  // a new search supersedes the one running
  JobSeries listings;  // a new album click or page choice supersedes the listing running
  std::atomic<bool> download_running{false};  // a second Download press starts nothing
};

}  // namespace orvendel
