#pragma once
// One embedded JavaScript engine: a heap of its own with one global scope in
// which texts are evaluated and their completion values answered. The only
// file that includes the engine's headers is script_engine.cpp.
//
// Texts cross as UTF-8 both ways; characters beyond U+FFFF are carried as the
// engine's surrogate pairs inside and come back as four-byte UTF-8, a lone
// surrogate as U+FFFD.
//
// Nothing escapes an evaluation: a script error, running out of the heap's
// memory and even a fatal error of the engine give the failed answer
// (nullopt or false). After a fatal error the heap is dropped whole, its
// memory given back, and every later call fails (usable() is false).
// Execution time is not bounded: the system's engine library is built
// without its execution-timeout hook, so a script that never ends never
// returns. Only the program's own texts may be evaluated; data is handed
// over as a string value (set_global_string) and never run.
//
// One engine belongs to one thread at a time; engines on different threads
// share nothing.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvendel {

class ScriptEngine {
 public:
  // A few hundred MiB: room for any document, a bound for a runaway script.
  static constexpr std::size_t kMemoryLimit = std::size_t{256} << 20;

  // A fresh heap whose allocations may total memory_limit bytes. When the
  // heap cannot be made, usable() is false.
  explicit ScriptEngine(std::size_t memory_limit = kMemoryLimit);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // The heap exists and has met no fatal error.
  bool usable() const;

  // source evaluated as eval code in the global scope: "var" declares
  // globals and the answer is the completion value of the last statement
  // ("var a=1; a+1" answers 2).
  // run: true when it ran without error (the answer is dropped).
  bool run(std::string_view source);
  // The answer as text: a string as its characters, undefined as "", other
  // values through the engine's own conversion (1e21 -> "1e+21",
  // true -> "true"). nullopt on an error and for null.
  std::optional<std::string> text(std::string_view source);
  // The answer as a number: a number as it is, any other value through the
  // engine's conversion ("12" -> 12, null -> 0, true -> 1); nullopt on an
  // error and when a value that is not a number converts to NaN ("abc").
  std::optional<double> number(std::string_view source);
  // The answer's truth value (0, "", null, undefined and NaN are false);
  // nullopt on an error.
  std::optional<bool> boolean(std::string_view source);

  // Stores value as a string in the global variable name, without running
  // anything. False when the engine is not usable or memory runs out.
  bool set_global_string(std::string_view name, std::string_view value);

  // Bytes the heap holds now.
  std::size_t memory_in_use() const;

  // Raises the engine's fatal error as an internal failure of the engine
  // would, so that the recovery can be exercised: afterwards usable() is
  // false and every call fails.
  void raise_fatal_error();

 private:
  struct Heap;
  std::unique_ptr<Heap> heap_;
};

}  // namespace orvendel
