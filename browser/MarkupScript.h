#pragma once

namespace quorvane {

// The script that reads a document's markup the way the calendar pages' parser expects it: the
// root element's children, tag names in upper case, attribute values unquoted when they hold
// only letters, digits and - . _ : /, void elements without end tags, text escaped (& < > and
// the no-break space as &nbsp;), comments kept, SCRIPT and STYLE content raw.
constexpr const char* MarkupSerializerScript = R"JS((function () {
  var VOID = {AREA:1, BASE:1, BASEFONT:1, BGSOUND:1, BR:1, COL:1, EMBED:1, FRAME:1, HR:1, IMG:1,
              INPUT:1, ISINDEX:1, KEYGEN:1, LINK:1, META:1, PARAM:1, SOURCE:1, TRACK:1, WBR:1};
  var RAW = {SCRIPT:1, STYLE:1, XMP:1, PLAINTEXT:1, NOSCRIPT:1};
  function escapeText(s) {
    return s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/\u00a0/g, '&nbsp;');
  }
  function attributeValue(v) {
    if (/^[A-Za-z0-9\-._:\/]+$/.test(v)) return v;
    return '"' + v.replace(/&/g, '&amp;').replace(/"/g, '&quot;') + '"';
  }
  function write(n, out) {
    if (n.nodeType === 1) {
      var tag = String(n.tagName).toUpperCase();
      var open = '<' + tag;
      for (var i = 0; i < n.attributes.length; i++) {
        var a = n.attributes[i];
        open += ' ' + a.name + (a.value === '' ? '' : '=' + attributeValue(a.value));
      }
      out.push(open + '>');
      if (VOID[tag]) return;
      if (RAW[tag]) {
        out.push(n.textContent);
      } else {
        var kids = n.content ? n.content : n;
        for (var c = kids.firstChild; c; c = c.nextSibling) write(c, out);
      }
      out.push('</' + tag + '>');
    } else if (n.nodeType === 3 || n.nodeType === 4) {
      out.push(escapeText(n.data));
    } else if (n.nodeType === 8) {
      out.push('<!--' + n.data + '-->');
    }
  }
  var root = document.documentElement;
  if (!root) return '';
  var out = [];
  for (var c = root.firstChild; c; c = c.nextSibling) write(c, out);
  return out.join('');
})())JS";

}  // namespace quorvane
