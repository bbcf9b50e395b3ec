#include "json/support_script.h"

namespace orvendel {

// ASCII only: the text is compiled as a narrow literal and crosses into the
// engine unchanged.
const char* const support_script = R"JS(
function get__count(c) {
  if (c === null || c === undefined) return 0;
  var i = -2;
  for (var name in c) i++;
  return i;
}
(function (root) {
  var hasOwn = Object.prototype.hasOwnProperty;
  var classOf = function (v) { return Object.prototype.toString.call(v); };

  if (typeof root.JSON !== 'object' || root.JSON === null) root.JSON = {};

  if (typeof Date.prototype.toJSON !== 'function') {
    var two = function (n) { return n < 10 ? '0' + n : String(n); };
    Date.prototype.toJSON = function () {
      if (!isFinite(this.valueOf())) return null;
      return this.getUTCFullYear() + '-' + two(this.getUTCMonth() + 1) + '-' +
          two(this.getUTCDate()) + 'T' + two(this.getUTCHours()) + ':' +
          two(this.getUTCMinutes()) + ':' + two(this.getUTCSeconds()) + 'Z';
    };
    String.prototype.toJSON = Number.prototype.toJSON = Boolean.prototype.toJSON =
        function () { return this.valueOf(); };
  }

  if (typeof root.JSON.stringify !== 'function') {
    var escaped = /[\\"\u0000-\u001f\u007f-\u009f\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f\u2028-\u202f\u2060-\u206f\ufeff\ufff0-\uffff]/g;
    var shortForms = {'\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r',
                      '"': '\\"', '\\': '\\\\'};
    var quote = function (s) {
      return '"' + s.replace(escaped, function (c) {
        if (hasOwn.call(shortForms, c)) return shortForms[c];
        return '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
      }) + '"';
    };
    root.JSON.stringify = function (value, replacer, space) {
      var indent = '';
      if (typeof space === 'number') {
        for (var n = 0; n < Math.min(10, Math.floor(space)); n++) indent += ' ';
      } else if (typeof space === 'string') {
        indent = space.slice(0, 10);
      }
      var keyList = null;
      if (typeof replacer !== 'function' && replacer !== undefined && replacer !== null) {
        if (classOf(replacer) !== '[object Array]') throw new Error('JSON.stringify');
        keyList = [];
        for (var r = 0; r < replacer.length; r++) keyList.push(String(replacer[r]));
      }
      var join = function (open, parts, close, outer, inner) {
        if (parts.length === 0) return open + close;
        if (indent === '') return open + parts.join(',') + close;
        return open + '\n' + inner + parts.join(',\n' + inner) + '\n' + outer + close;
      };
      var write = function (key, holder, outer) {
        var v = holder[key];
        if (v !== null && typeof v === 'object' && typeof v.toJSON === 'function') v = v.toJSON(key);
        if (typeof replacer === 'function') v = replacer.call(holder, key, v);
        if (v !== null && typeof v === 'object') {
          var kind = classOf(v);
          if (kind === '[object Number]') v = Number(v);
          else if (kind === '[object String]') v = String(v);
          else if (kind === '[object Boolean]') v = v.valueOf();
        }
        if (v === null) return 'null';
        if (typeof v === 'string') return quote(v);
        if (typeof v === 'number') return isFinite(v) ? String(v) : 'null';
        if (typeof v === 'boolean') return String(v);
        if (typeof v !== 'object') return undefined;
        var inner = outer + indent, parts = [], i, part;
        if (classOf(v) === '[object Array]') {
          for (i = 0; i < v.length; i++) {
            part = write(String(i), v, inner);
            parts.push(part === undefined ? 'null' : part);
          }
          return join('[', parts, ']', outer, inner);
        }
        var keys = keyList;
        if (keys === null) {
          keys = [];
          for (var k in v) if (hasOwn.call(v, k)) keys.push(k);
        }
        for (i = 0; i < keys.length; i++) {
          part = write(keys[i], v, inner);
          if (part !== undefined) parts.push(quote(keys[i]) + (indent === '' ? ':' : ': ') + part);
        }
        return join('{', parts, '}', outer, inner);
      };
      return write('', {'': value}, '');
    };
  }

  if (typeof root.JSON.parse !== 'function') {
    root.JSON.parse = function (text, reviver) {
      var s = String(text), at = 0;
      var fail = function () { throw new SyntaxError('JSON.parse'); };
      var blanks = function () { while (at < s.length && ' \t\n\r'.indexOf(s.charAt(at)) >= 0) at++; };
      var escapes = {'"': '"', '\\': '\\', '/': '/', b: '\b', f: '\f', n: '\n', r: '\r', t: '\t'};
      var value;
      var string = function () {
        var out = '';
        at++;
        for (;;) {
          if (at >= s.length) fail();
          var c = s.charAt(at++);
          if (c === '"') return out;
          if (c === '\\') {
            c = s.charAt(at++);
            if (c === 'u') {
              var digits = s.substr(at, 4);
              if (!/^[0-9a-fA-F]{4}$/.test(digits)) fail();
              out += String.fromCharCode(parseInt(digits, 16));
              at += 4;
            } else if (hasOwn.call(escapes, c)) {
              out += escapes[c];
            } else {
              fail();
            }
          } else if (c < ' ' && c !== '\u0000') {
            fail();
          } else {
            out += c;
          }
        }
      };
      var put = function (o, k, v) {
        if (typeof Object.defineProperty === 'function')
          Object.defineProperty(o, k, {value: v, writable: true, enumerable: true, configurable: true});
        else
          o[k] = v;
      };
      value = function () {
        blanks();
        var c = s.charAt(at), m;
        if (c === '"') return string();
        if (c === '{') {
          var o = {};
          at++;
          blanks();
          if (s.charAt(at) === '}') { at++; return o; }
          for (;;) {
            blanks();
            if (s.charAt(at) !== '"') fail();
            var key = string();
            blanks();
            if (s.charAt(at++) !== ':') fail();
            put(o, key, value());
            blanks();
            c = s.charAt(at++);
            if (c === '}') return o;
            if (c !== ',') fail();
          }
        }
        if (c === '[') {
          var a = [];
          at++;
          blanks();
          if (s.charAt(at) === ']') { at++; return a; }
          for (;;) {
            a.push(value());
            blanks();
            c = s.charAt(at++);
            if (c === ']') return a;
            if (c !== ',') fail();
          }
        }
        if ((m = /^-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?/.exec(s.slice(at))) !== null) {
          at += m[0].length;
          return Number(m[0]);
        }
        if (s.substr(at, 4) === 'true') { at += 4; return true; }
        if (s.substr(at, 5) === 'false') { at += 5; return false; }
        if (s.substr(at, 4) === 'null') { at += 4; return null; }
        return fail();
      };
      var result = value();
      blanks();
      if (at < s.length) fail();
      if (typeof reviver !== 'function') return result;
      var walk = function (holder, key) {
        var v = holder[key];
        if (v !== null && typeof v === 'object') {
          for (var k in v) {
            if (!hasOwn.call(v, k)) continue;
            var revived = walk(v, k);
            if (revived === undefined) delete v[k]; else v[k] = revived;
          }
        }
        return reviver.call(holder, key, v);
      };
      return walk({'': result}, '');
    };
  }

  if (typeof Object.prototype.toJSONString !== 'function') {
    Object.prototype.toJSONString = function (filter) { return JSON.stringify(this, filter); };
    Object.prototype.parseJSON = function (filter) { return JSON.parse(this, filter); };
  }
})(this);
)JS";

}  // namespace orvendel
