// Reading a result page: conversion to GBK, then cutting the albums and
// their fields out of it, as the search does for every page.
#include <benchmark/benchmark.h>

#include "sample_platform/pages.h"
#include "support/test_text.h"
#include "text/delimited_text.h"
#include "text/fragment_cleanup.h"
#include "web/code_pages.h"

namespace orvendel {
namespace {

const std::string& result_page() {
  static const std::string page = sample::detail::search_page(testing::utf8(u8"故事"), 1);
  return page;
}

void BM_ConvertPageToGbk(benchmark::State& state) {
  const std::string& page = result_page();
  for (auto _ : state) benchmark::DoNotOptimize(utf8_to_gbk(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ConvertPageToGbk);

void BM_CutAlbumsOutOfAPage(benchmark::State& state) {
  const Text page = utf8_to_gbk(result_page());
  TextList items;
  for (auto _ : state) {
    const Text block = text_between(page, "<ul class=\"search-album-lists cl\">", "</ul>", 0, true);
    extract_all_between(block, "sound_ids", "</li>", items, true);
    for (const Text& item : items) {
      benchmark::DoNotOptimize(clean_fragment(
          text_between(item, "class=\"search-album-tit elli-multi link4\"  >\n", "</a>", 0, true)));
      benchmark::DoNotOptimize(
          clean_fragment(text_between(item, "<p class=\"elli c02\">", "</p>", 0, true)));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * items.size()));
}
BENCHMARK(BM_CutAlbumsOutOfAPage);

}  // namespace
}  // namespace orvendel
