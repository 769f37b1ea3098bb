#!/usr/bin/env python3
"""Generates src/errortext/hresult_names_table.cpp, the table of HRESULT identifiers.

The identifiers come from the Windows and DirectX headers of a MinGW-w64 installation
(Debian: apt-get install mingw-w64-common mingw-w64-x86-64-dev). The generated file is
committed, so building Toravel never needs these headers; run this script again only to
refresh the table:

    python3 scripts/gen_hresult_names.py [--include DIR] [--output FILE]

Which identifiers count:
- Every define or enum member whose value is built as an HRESULT: a literal cast to HRESULT,
  _HRESULT_TYPEDEF_, MAKE_HRESULT or a family macro built on it (MAKE_D3DHRESULT,
  MAKE_DDHRESULT, MAKE_DSHRESULT, ...), or HRESULT_FROM_WIN32.
- Enum members named like status codes (WBEM_S_DIFFERENT, WBEM_E_FAILED), whatever their
  value is written as.
- The Win32 error codes of winerror.h (plain numbers), as the HRESULT that HRESULT_FROM_WIN32
  makes of them, but only for values that no HRESULT identifier names: E_OUTOFMEMORY stays
  E_OUTOFMEMORY and is not joined with ERROR_OUTOFMEMORY.
- An identifier built from a Win32 code (DIERR_NOTFOUND is HRESULT_FROM_WIN32 of
  ERROR_FILE_NOT_FOUND) is a synonym of that code's identifier.
- An identifier defined as another identifier (DDERR_GENERIC is E_FAIL, D3D_OK is S_OK) is a
  synonym and adds nothing.
Several identifiers of one value are joined by " & " in header order, then definition order.
The success value 0 has many spellings (S_OK, SEC_E_OK, NOERROR, ERROR_SUCCESS, ...); it is
named S_OK alone, and 1 (S_FALSE, WBEM_S_FALSE) S_FALSE alone.
"""

import argparse
import os
import re
import sys

# Header order decides the order of identifiers that share a value.
HEADERS = [
    "winerror.h",
    "d3d9.h",
    "d3d8.h",
    "d3d.h",
    "d3d10.h",
    "d3dx9.h",
    "d3dx9anim.h",
    "d3dx9core.h",
    "d3dx9effect.h",
    "d3dx9math.h",
    "d3dx9mesh.h",
    "d3dx9shader.h",
    "d3dx9shape.h",
    "d3dx9tex.h",
    "d3dx9xof.h",
    "ddraw.h",
    "dsound.h",
    "dmerror.h",
    "dinput.h",
    "dinputd.h",
    "dplay.h",
    "dplay8.h",
    "dplobby.h",
    "dpnathlp.h",
    "vfwmsgs.h",
    "dxva2api.h",
    "d3drm.h",
    "dxfile.h",
    "dxdiag.h",
    "xaudio2.h",
    "mmstream.h",
    "wbemcli.h",
]

FIXED_NAMES = {0: "S_OK", 1: "S_FALSE"}

HRESULT_MARKERS = {"_HRESULT_TYPEDEF_", "MAKE_HRESULT", "HRESULT_FROM_WIN32",
                   "__HRESULT_FROM_WIN32", "HRESULT", "MAKE_SCODE", "SCODE"}

# Enum members in the style of status codes (WBEM_E_FAILED, WBEM_S_DIFFERENT) are HRESULTs
# even when written as plain numbers.
STATUS_ENUM_NAME = re.compile(r"^[A-Z0-9]+_[ES]_\w+$")

TOKEN = re.compile(r"\s*(0[xX][0-9a-fA-F]+|\d+|[A-Za-z_]\w*|<<|>>|\|\||&&|[-+*/%()|&^~?:,!<>])")
INT_SUFFIX = re.compile(r"^(0[xX][0-9a-fA-F]+|\d+)[uUlL]*$")
CAST_TYPES = {"HRESULT", "SCODE", "LONG", "long", "DWORD", "ULONG", "unsigned", "int",
              "__LONG32", "SECURITY_STATUS", "NTSTATUS", "UINT", "signed"}


class Macro:
    def __init__(self, name, params, body, header, order):
        self.name, self.params, self.body = name, params, body
        self.header, self.order = header, order


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def read_definitions(path, header, macros, enums, counter):
    with open(path, encoding="latin-1") as f:
        text = strip_comments(f.read().replace("\\\n", " "))
    for m in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+(\w+)(\([^)]*\))?[ \t]*([^\n]*)$", text,
                         re.M):
        name, params, body = m.group(1), m.group(2), m.group(3).strip()
        if params is not None and m.start(2) != m.end(1):
            # "#define X (value)": a parenthesised body, not a parameter list.
            body, params = (params + " " + body).strip(), None
        param_list = None
        if params is not None:
            param_list = [p.strip() for p in params[1:-1].split(",") if p.strip()]
        counter[0] += 1
        # The first definition wins, as in the header that is read first.
        macros.setdefault(name, Macro(name, param_list, body, header, counter[0]))
    for block in re.finditer(r"\benum\b[^{;]*\{([^}]*)\}", text):
        next_value = None
        for item in block.group(1).split(","):
            item = item.strip()
            if not item:
                continue
            m = re.match(r"^(\w+)\s*(?:=\s*(.+))?$", item, re.S)
            if not m:
                continue
            counter[0] += 1
            name, expr = m.group(1), m.group(2)
            if expr is None:
                expr = str(next_value) if next_value is not None else "0"
            enums.append(Macro(name, None, " ".join(expr.split()), header, counter[0]))
            macros.setdefault(name, enums[-1])
            next_value = None
            try:
                next_value = evaluate(expr, macros, set()) + 1
            except EvalError:
                pass


class EvalError(Exception):
    pass


def tokenize(expr):
    tokens, pos = [], 0
    expr = expr.strip()
    while pos < len(expr):
        m = TOKEN.match(expr, pos)
        if not m:
            raise EvalError("cannot tokenize: " + expr)
        tokens.append(m.group(1))
        pos = m.end()
    return tokens


def tokenize_or_empty(expr):
    try:
        return tokenize(expr)
    except EvalError:
        return []


def split_args(tokens, start):
    """Arguments of a call whose "(" is tokens[start]; returns (args, index after ")")."""
    depth, args, current, i = 0, [], [], start
    while i < len(tokens):
        t = tokens[i]
        if t == "(":
            depth += 1
            if depth > 1:
                current.append(t)
        elif t == ")":
            depth -= 1
            if depth == 0:
                args.append(current)
                return args, i + 1
            current.append(t)
        elif t == "," and depth == 1:
            args.append(current)
            current = []
        else:
            current.append(t)
        i += 1
    raise EvalError("unbalanced call")


def expand(tokens, macros, active):
    out, i = [], 0
    while i < len(tokens):
        t = tokens[i]
        if t == "__MSABI_LONG":
            args, i = split_args(tokens, i + 1)
            out.extend(["("] + expand(args[0], macros, active) + [")"])
            continue
        if t in ("HRESULT_FROM_WIN32", "__HRESULT_FROM_WIN32"):
            args, i = split_args(tokens, i + 1)
            x = evaluate_tokens(expand(args[0], macros, active))
            x = to_signed(x)
            value = x if x <= 0 else ((x & 0xFFFF) | (7 << 16) | 0x80000000)
            out.append(str(value & 0xFFFFFFFF))
            continue
        macro = macros.get(t)
        if macro is not None and t not in active and t not in CAST_TYPES:
            if macro.params is None:
                out.extend(expand(tokenize(macro.body), macros, active | {t}))
                i += 1
                continue
            if i + 1 < len(tokens) and tokens[i + 1] == "(":
                args, i = split_args(tokens, i + 1)
                args = [expand(a, macros, active) for a in args]
                body = []
                for bt in tokenize(macro.body):
                    if bt in macro.params:
                        body.extend(["("] + args[macro.params.index(bt)] + [")"])
                    else:
                        body.append(bt)
                out.extend(expand(body, macros, active | {t}))
                continue
        out.append(t)
        i += 1
    return out


def to_signed(x):
    x &= 0xFFFFFFFF
    return x - (1 << 32) if x & 0x80000000 else x


def evaluate_tokens(tokens):
    # Drop casts: "(" followed by type words and ")".
    cleaned, i = [], 0
    while i < len(tokens):
        if tokens[i] == "(":
            j = i + 1
            while j < len(tokens) and tokens[j] in CAST_TYPES:
                j += 1
            if j > i + 1 and j < len(tokens) and tokens[j] == ")":
                i = j + 1
                continue
        cleaned.append(tokens[i])
        i += 1
    parts = []
    for t in cleaned:
        m = INT_SUFFIX.match(t)
        if m:
            parts.append(str(int(m.group(1), 0)))
        elif t in ("~",):
            parts.append("~")
        elif re.match(r"^[A-Za-z_]", t):
            raise EvalError("unknown identifier " + t)
        elif t in ("/",):
            parts.append("//")
        elif t in ("?", ":", "&&", "||", "!"):
            raise EvalError("unsupported operator " + t)
        else:
            parts.append(t)
    if not parts:
        raise EvalError("empty")
    try:
        return eval(" ".join(parts), {"__builtins__": {}}) & 0xFFFFFFFF  # noqa: S307
    except Exception as e:  # a malformed expression is simply not a code
        raise EvalError(str(e))


def evaluate(expr, macros, active):
    return evaluate_tokens(expand(tokenize(expr), macros, active))


def used_identifiers(expr, macros, depth=0):
    """Every identifier that an expression mentions, through macro expansion."""
    found = set()
    try:
        tokens = tokenize(expr)
    except EvalError:
        return found
    for t in tokens:
        if re.match(r"^[A-Za-z_]", t):
            found.add(t)
            m = macros.get(t)
            if m is not None and depth < 8:
                found |= used_identifiers(m.body, macros, depth + 1)
    return found


def strip_parens(expr):
    expr = expr.strip()
    while expr.startswith("(") and expr.endswith(")"):
        inner = expr[1:-1].strip()
        depth = 0
        for c in inner:
            depth += c == "("
            depth -= c == ")"
            if depth < 0:
                return expr
        expr = inner
    return expr


def collect(include):
    macros, enums, counter = {}, [], [0]
    definitions = []
    for header in HEADERS:
        path = os.path.join(include, header)
        if not os.path.exists(path):
            path = os.path.join(include, header.lower())
        if not os.path.exists(path):
            sys.exit("missing header: " + header)
        before = counter[0]
        read_definitions(path, header, macros, enums, counter)
        definitions.append((header, before, counter[0]))
    # Every definition in reading order, not only the first of each name.
    ordered = []
    for header in HEADERS:
        path = os.path.join(include, header)
        with open(path, encoding="latin-1") as f:
            text = strip_comments(f.read().replace("\\\n", " "))
        for m in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+(\w+)[ \t]+([^\n]*)$", text, re.M):
            ordered.append((header, m.group(1), m.group(2).strip()))
        for e in enums:
            if e.header == header:
                ordered.append((header, e.name, e.body))
    return macros, ordered, {e.name for e in enums}


def is_win32_code(name, body):
    if re.match(r"^(FACILITY_|SEVERITY_|_?HRESULT|__MSABI|_WINERROR_|WINAPI_)", name):
        return False
    inner = strip_parens(body)
    inner = re.sub(r"^__MSABI_LONG\((.*)\)$", r"\1", inner).strip()
    return INT_SUFFIX.match(inner) is not None


def build_table(include):
    macros, ordered, enum_names = collect(include)
    hresult_names = {}  # value -> [names]
    win32_names = {}
    win32_codes = {name for header, name, body in ordered
                   if header == "winerror.h" and is_win32_code(name, body)}
    seen = set()
    for header, name, body in ordered:
        if (name, body) in seen or name.startswith("_"):
            continue
        seen.add((name, body))
        inner = strip_parens(body)
        if re.match(r"^[A-Za-z_]\w*$", inner):
            continue  # a synonym of another identifier
        if any(t in win32_codes for t in tokenize_or_empty(body)):
            continue  # a Win32 code as an HRESULT: named by the Win32 identifier
        ids = used_identifiers(body, macros)
        if ids & HRESULT_MARKERS or (name in enum_names and STATUS_ENUM_NAME.match(name)):
            try:
                value = evaluate(body, macros, {name})
            except EvalError:
                continue
            hresult_names.setdefault(value, [])
            if name not in hresult_names[value]:
                hresult_names[value].append(name)
        elif header == "winerror.h" and is_win32_code(name, body):
            try:
                code = evaluate(body, macros, {name})
            except EvalError:
                continue
            if code == 0 or code > 0xFFFF:
                continue
            value = (code & 0xFFFF) | (7 << 16) | 0x80000000
            win32_names.setdefault(value, [])
            if name not in win32_names[value]:
                win32_names[value].append(name)
    table = dict(hresult_names)
    for value, names in win32_names.items():
        table.setdefault(value, names)
    for value, name in FIXED_NAMES.items():
        table[value] = [name]
    return table


def write_table(table, output):
    lines = [
        "// Generated by scripts/gen_hresult_names.py from the MinGW-w64 Windows and DirectX",
        "// headers; do not edit by hand. Sorted by the code as an unsigned 32-bit number.",
        "#include \"errortext/hresult_names_table.h\"",
        "",
        "namespace toravel {",
        "",
        "const HresultNameRow kHresultNames[] = {",
    ]
    for value in sorted(table):
        lines.append("    {0x%08Xu, \"%s\"}," % (value, " & ".join(table[value])))
    lines += [
        "};",
        "",
        "const size_t kHresultNameCount = sizeof(kHresultNames) / sizeof(kHresultNames[0]);",
        "",
        "}  // namespace toravel",
        "",
    ]
    with open(output, "w", encoding="latin-1", newline="\n") as f:
        f.write("\n".join(lines))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--include", default="/usr/x86_64-w64-mingw32/include")
    parser.add_argument("--output", default=os.path.join(
        here, "..", "src", "errortext", "hresult_names_table.cpp"))
    args = parser.parse_args()
    table = build_table(args.include)
    write_table(table, args.output)
    print("%d codes written to %s" % (len(table), os.path.normpath(args.output)))


if __name__ == "__main__":
    main()
