// The JavaScript engine on Duktape: the one file that includes its headers.
#include "json/script_engine.h"

#include <duktape.h>

#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace orvendel {
namespace {

// Every block the engine allocates carries this header: the heap's total can
// then be capped, and a heap abandoned after a fatal error freed whole.
struct alignas(std::max_align_t) Block {
  Block* prev;
  Block* next;
  std::size_t size;
};

void append_utf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

unsigned byte_at(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}
bool is_continuation(unsigned b) { return (b & 0xC0) == 0x80; }

// Four-byte UTF-8 as the engine's strings hold it: two three-byte surrogates.
std::string to_engine_form(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned b = byte_at(utf8, i);
    if ((b & 0xF8) == 0xF0 && is_continuation(byte_at(utf8, i + 1)) &&
        is_continuation(byte_at(utf8, i + 2)) && is_continuation(byte_at(utf8, i + 3))) {
      const std::uint32_t cp = (b & 0x07) << 18 | (byte_at(utf8, i + 1) & 0x3F) << 12 |
                               (byte_at(utf8, i + 2) & 0x3F) << 6 | (byte_at(utf8, i + 3) & 0x3F);
      if (cp >= 0x10000 && cp <= 0x10FFFF) {
        append_utf8(out, 0xD800 + ((cp - 0x10000) >> 10));
        append_utf8(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        i += 3;
        continue;
      }
    }
    out += static_cast<char>(b);
  }
  return out;
}

// The surrogate (0xD800-0xDFFF) encoded in three bytes at i, or 0.
std::uint32_t surrogate_at(std::string_view s, std::size_t i) {
  if (byte_at(s, i) != 0xED || byte_at(s, i + 1) < 0xA0 || byte_at(s, i + 1) > 0xBF ||
      !is_continuation(byte_at(s, i + 2)))
    return 0;
  return 0xD000 | (byte_at(s, i + 1) & 0x3F) << 6 | (byte_at(s, i + 2) & 0x3F);
}

// The engine's strings as UTF-8: a surrogate pair becomes one four-byte
// character, a lone surrogate U+FFFD. Other bytes pass as they are.
std::string from_engine_form(std::string_view cesu) {
  if (cesu.find('\xED') == std::string_view::npos) return std::string(cesu);
  std::string out;
  out.reserve(cesu.size());
  for (std::size_t i = 0; i < cesu.size(); ++i) {
    const std::uint32_t high = surrogate_at(cesu, i);
    if (high == 0) {
      out += cesu[i];
      continue;
    }
    const std::uint32_t low = surrogate_at(cesu, i + 3);
    if (high < 0xDC00 && low >= 0xDC00) {
      append_utf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
      i += 5;
    } else {
      append_utf8(out, 0xFFFD);
      i += 2;
    }
  }
  return out;
}

enum class Want { kNothing, kText, kNumber, kBoolean };

// One evaluation's question and answer, plain values only: it is written
// from inside the engine, where a fatal error may jump over any frame.
struct Evaluation {
  const char* source;
  std::size_t length;
  Want want;
  bool ran = false;
  bool unconvertible = false;  // null as text, NaN from a conversion
  double number = 0;
  bool boolean = false;
  const char* text = nullptr;  // on the value stack until it is cleared
  std::size_t text_length = 0;
};

duk_ret_t evaluate_protected(duk_context* ctx, void* udata) {
  Evaluation& e = *static_cast<Evaluation*>(udata);
  duk_push_lstring(ctx, e.source, e.length);
  duk_eval(ctx);
  switch (e.want) {
    case Want::kNothing:
      break;
    case Want::kText:
      if (duk_is_null(ctx, -1)) {
        e.unconvertible = true;
      } else if (duk_is_undefined(ctx, -1)) {
        duk_pop(ctx);
        duk_push_string(ctx, "");
      } else {
        duk_to_string(ctx, -1);
      }
      break;
    case Want::kNumber: {
      const bool was_number = duk_is_number(ctx, -1) != 0;
      e.number = duk_to_number(ctx, -1);
      e.unconvertible = !was_number && std::isnan(e.number);
      break;
    }
    case Want::kBoolean:
      e.boolean = duk_to_boolean(ctx, -1) != 0;
      break;
  }
  return 1;
}

struct Store {
  std::string_view name, value;
  bool stored = false;
};

duk_ret_t store_protected(duk_context* ctx, void* udata) {
  const Store& s = *static_cast<Store*>(udata);
  duk_push_global_object(ctx);
  duk_push_lstring(ctx, s.value.data(), s.value.size());
  duk_put_prop_lstring(ctx, -2, s.name.data(), s.name.size());
  return 0;
}

}  // namespace

struct ScriptEngine::Heap {
  Block blocks{&blocks, &blocks, 0};  // the sentinel of a circular list
  std::size_t used = 0;
  std::size_t limit = 0;
  duk_context* ctx = nullptr;
  std::jmp_buf* escape = nullptr;  // where the fatal handler goes back to

  ~Heap() { free_all(); }

  static Heap& of(void* udata) { return *static_cast<Heap*>(udata); }

  static void* allocate(void* udata, duk_size_t size) {
    Heap& h = of(udata);
    if (size == 0 || size > h.limit - h.used) return nullptr;
    auto* b = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (b == nullptr) return nullptr;
    b->size = size;
    b->prev = h.blocks.prev;
    b->next = &h.blocks;
    h.blocks.prev->next = b;
    h.blocks.prev = b;
    h.used += size;
    return b + 1;
  }

  static void* reallocate(void* udata, void* ptr, duk_size_t size) {
    if (ptr == nullptr) return allocate(udata, size);
    if (size == 0) {
      release(udata, ptr);
      return nullptr;
    }
    Heap& h = of(udata);
    Block* b = static_cast<Block*>(ptr) - 1;
    const std::size_t old_size = b->size;
    if (size > old_size && size - old_size > h.limit - h.used) return nullptr;
    auto* moved = static_cast<Block*>(std::realloc(b, sizeof(Block) + size));
    if (moved == nullptr) return nullptr;
    moved->prev->next = moved;  // the neighbours still point at the old place
    moved->next->prev = moved;
    moved->size = size;
    h.used = h.used - old_size + size;
    return moved + 1;
  }

  static void release(void* udata, void* ptr) {
    if (ptr == nullptr) return;
    Heap& h = of(udata);
    Block* b = static_cast<Block*>(ptr) - 1;
    b->prev->next = b->next;
    b->next->prev = b->prev;
    h.used -= b->size;
    std::free(b);
  }

  // Duktape's fatal error: the heap is in no state to go on, so the call in
  // progress is abandoned by jumping back to its guard. Every call into the
  // engine is guarded; without a guard the process would have to end.
  [[noreturn]] static void fatal(void* udata, const char*) {
    Heap& h = of(udata);
    if (h.escape != nullptr) std::longjmp(*h.escape, 1);
    std::abort();
  }

  void free_all() {
    for (Block* b = blocks.next; b != &blocks;) {
      Block* next = b->next;
      std::free(b);
      b = next;
    }
    blocks.prev = blocks.next = &blocks;
    used = 0;
  }

  // Runs step with a way back from the fatal handler; false when the engine
  // died in it, which drops the heap without touching it again. step must
  // hold nothing that needs destroying: the jump skips its frame.
  bool guarded(void (*step)(Heap&, void*), void* arg) {
    std::jmp_buf back;
    escape = &back;
    if (setjmp(back) != 0) {
      escape = nullptr;
      ctx = nullptr;
      free_all();
      return false;
    }
    step(*this, arg);
    escape = nullptr;
    return true;
  }

  std::optional<Evaluation> evaluate(std::string_view source, Want want) {
    if (ctx == nullptr) return std::nullopt;
    Evaluation e{source.data(), source.size(), want};
    const bool survived = guarded(
        [](Heap& h, void* arg) {
          auto& e = *static_cast<Evaluation*>(arg);
          e.ran = duk_safe_call(h.ctx, evaluate_protected, &e, 0, 1) == DUK_EXEC_SUCCESS;
          if (e.ran && e.want == Want::kText && !e.unconvertible)
            e.text = duk_get_lstring(h.ctx, -1, &e.text_length);
        },
        &e);
    if (!survived || !e.ran || e.unconvertible) {
      clear_stack();
      return std::nullopt;
    }
    return e;
  }

  void clear_stack() {
    if (ctx != nullptr) guarded([](Heap& h, void*) { duk_set_top(h.ctx, 0); }, nullptr);
  }
};

ScriptEngine::ScriptEngine(std::size_t memory_limit) : heap_(new (std::nothrow) Heap) {
  if (!heap_) return;
  heap_->limit = memory_limit;
  heap_->guarded(
      [](Heap& h, void*) {
        h.ctx = duk_create_heap(Heap::allocate, Heap::reallocate, Heap::release, &h, Heap::fatal);
      },
      nullptr);
}

ScriptEngine::~ScriptEngine() {
  if (heap_ && heap_->ctx != nullptr)
    heap_->guarded([](Heap& h, void*) { duk_destroy_heap(h.ctx); }, nullptr);
}

bool ScriptEngine::usable() const { return heap_ && heap_->ctx != nullptr; }

bool ScriptEngine::run(std::string_view source) {
  if (!usable()) return false;
  const bool ran = heap_->evaluate(to_engine_form(source), Want::kNothing).has_value();
  heap_->clear_stack();
  return ran;
}

std::optional<std::string> ScriptEngine::text(std::string_view source) {
  if (!usable()) return std::nullopt;
  const std::optional<Evaluation> e = heap_->evaluate(to_engine_form(source), Want::kText);
  if (!e) return std::nullopt;
  std::optional<std::string> answer;
  try {
    answer = from_engine_form(std::string_view(e->text, e->text_length));
  } catch (const std::bad_alloc&) {
  }
  heap_->clear_stack();
  return answer;
}

std::optional<double> ScriptEngine::number(std::string_view source) {
  if (!usable()) return std::nullopt;
  const std::optional<Evaluation> e = heap_->evaluate(to_engine_form(source), Want::kNumber);
  heap_->clear_stack();
  if (!e) return std::nullopt;
  return e->number;
}

std::optional<bool> ScriptEngine::boolean(std::string_view source) {
  if (!usable()) return std::nullopt;
  const std::optional<Evaluation> e = heap_->evaluate(to_engine_form(source), Want::kBoolean);
  heap_->clear_stack();
  if (!e) return std::nullopt;
  return e->boolean;
}

bool ScriptEngine::set_global_string(std::string_view name, std::string_view value) {
  if (!usable()) return false;
  const std::string engine_value = to_engine_form(value);
  Store s{name, engine_value};
  heap_->guarded(
      [](Heap& h, void* arg) {
        auto& s = *static_cast<Store*>(arg);
        s.stored = duk_safe_call(h.ctx, store_protected, &s, 0, 1) == DUK_EXEC_SUCCESS;
      },
      &s);
  heap_->clear_stack();
  return s.stored;
}

std::size_t ScriptEngine::memory_in_use() const { return heap_ ? heap_->used : 0; }

void ScriptEngine::raise_fatal_error() {
  if (!usable()) return;
  heap_->guarded([](Heap& h, void*) { duk_fatal(h.ctx, "raised on request"); }, nullptr);
}

}  // namespace orvendel
