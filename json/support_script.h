#pragma once
// The definitions every new engine of JsonObject starts with.

namespace orvendel {

// Defines, in this order:
// 1. get__count(c): the number of enumerable properties for-in sees on c,
//    less the two methods of item 5 (enumerable on every object): an
//    object's own members, an array's length, 0 for null and undefined.
// 2. JSON as an empty object, when the engine has none.
// 3. When Date.prototype.toJSON is not a function: Date.prototype.toJSON
//    (UTC "YYYY-MM-DDTHH:MM:SSZ", null for an invalid date) and toJSON on
//    strings, numbers and booleans (the primitive value).
// 4. JSON.stringify and JSON.parse, each when absent: serialisation and
//    parsing of JSON text after the rules of ECMAScript 5. stringify escapes
//    ", \, \b, \t, \n, \f and \r with their short forms and the characters
//    U+0000-U+001F, U+007F-U+009F, U+00AD, U+0600-U+0604, U+070F, U+17B4,
//    U+17B5, U+200C-U+200F, U+2028-U+202F, U+2060-U+206F, U+FEFF and
//    U+FFF0-U+FFFF as \u and four small hexadecimal digits; a replacer that
//    is neither a function nor a list throws Error("JSON.stringify"). parse
//    reads JSON tokens only, never evaluating the text, and throws
//    SyntaxError("JSON.parse") for anything else.
// 5. When Object.prototype.toJSONString is absent, the enumerable methods
//    toJSONString(filter) and parseJSON(filter) on every object.
// On an engine with JSON and Date.prototype.toJSON of its own, items 2 to 4
// define nothing and the engine's JSON serves.
extern const char* const support_script;

}  // namespace orvendel
