"""Writes the application's settings file (QSettings' INI format) with the standard library only.

Lists and maps are stored by QSettings as "@Variant(...)": the value serialised by QDataStream
(format version 4.0: a type id, no null flag, then the value) and escaped as QSettings escapes any INI value. The writer produces the same
bytes as QSettings for the types the settings use: bool, int, float, text, list and map.
"""

import struct

# Type ids as QDataStream 4.0 writes them.
_BOOL, _INT, _MAP, _LIST, _STRING, _FLOAT = 1, 2, 8, 9, 10, 135


class Float(float):
    """A value stored as a single-precision float (the mouse profile's fractions)."""


def _string(text):
    data = text.encode("utf-16-be")
    return struct.pack(">I", len(data)) + data


def _variant(value):
    if isinstance(value, bool):
        return struct.pack(">I?", _BOOL, value)
    if isinstance(value, Float):
        return struct.pack(">If", _FLOAT, value)
    if isinstance(value, int):
        return struct.pack(">Ii", _INT, value)
    if isinstance(value, str):
        return struct.pack(">I", _STRING) + _string(value)
    if isinstance(value, list):
        return struct.pack(">II", _LIST, len(value)) + b"".join(_variant(v) for v in value)
    if isinstance(value, dict):
        # QMap goes out from its last key to its first.
        body = b"".join(_string(k) + _variant(value[k]) for k in sorted(value, reverse=True))
        return struct.pack(">II", _MAP, len(value)) + body
    raise TypeError("no settings type for %r" % (value,))


_NAMED = {0: "\\0", 7: "\\a", 8: "\\b", 12: "\\f", 10: "\\n", 13: "\\r", 9: "\\t", 11: "\\v"}


def _escape(text):
    """QSettings' escaping of one INI value (characters below 256 only)."""
    out = []
    quote = False
    hex_follows = False
    for ch in text:
        code = ord(ch)
        if ch in ";,=":
            quote = True
        if hex_follows and ch in "0123456789abcdefABCDEF":
            out.append("\\x%x" % code)
            continue
        hex_follows = False
        if code in _NAMED:
            out.append(_NAMED[code])
            hex_follows = code == 0
        elif ch in '"\\':
            out.append("\\" + ch)
        elif code <= 0x1F or code >= 0x7F:
            out.append("\\x%x" % code)
            hex_follows = True
        else:
            out.append(ch)
    result = "".join(out)
    if quote or result.startswith(" ") or result.endswith(" "):
        result = '"' + result + '"'
    return result


def value_text(value):
    """The text QSettings writes for one value."""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, (list, dict)):
        return _escape("@Variant(" + _variant(value).decode("latin-1") + ")")
    if isinstance(value, (int, float)):
        return str(value)
    return _escape(value)


def write(path, groups):
    """Writes {group: {key: value}} as an INI file; a list value of maps is stored as QSettings
    stores a QVariantList (each entry its own @Variant, comma-separated)."""
    lines = []
    for group in sorted(groups):
        lines.append("[%s]" % group)
        for key in sorted(groups[group]):
            value = groups[group][key]
            if isinstance(value, list):
                text = ", ".join(value_text(entry) for entry in value)
            else:
                text = value_text(value)
            lines.append("%s=%s" % (key, text))
        lines.append("")
    with open(path, "w", encoding="latin-1") as out:
        out.write("\n".join(lines))


def mouse_profile(name, control_mode=1, auto_zero=True, visual_feedback=True, horizontal=0.5, vertical=0.5,
                  tremor=0.5, speed=0.5, zero_interval_ms=15000):
    """One stored mouse profile with the application's keys."""
    return {
        "name": name,
        "controlMode": control_mode,
        "autoZero": auto_zero,
        "zeroTimeInterval_ms": zero_interval_ms,
        "audioFeedback": True,
        "visualFeedback": visual_feedback,
        "tremorFilter": Float(tremor),
        "horizontalViewAngle": Float(horizontal),
        "verticalViewAngle": Float(vertical),
        "autorange": False,
        "mouseSpeed": Float(speed),
        "ACATKey": 205,
    }
