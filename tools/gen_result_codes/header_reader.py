"""Reads result-code definitions out of C headers.

Collects the object-like and function-like macros and the enumerators of a
set of headers, and evaluates a definition to its 32-bit value by expanding
the macros it uses. Only the integer arithmetic that result-code headers use
is understood: literals with suffixes, casts to integer types, + - * | & << >>
and parentheses.
"""

import re

# Macros whose header definitions depend on the compiler or on conditional
# blocks; their meaning for result codes is fixed here.
FIXED_MACROS = {
    "__MSABI_LONG": (["x"], "x"),
    "_HRESULT_TYPEDEF_": (["x"], "x"),
    "_NDIS_ERROR_TYPEDEF_": (["x"], "x"),
    "MAKE_HRESULT": (["sev", "fac", "code"], "(((sev)<<31)|((fac)<<16)|(code))"),
    "MAKE_SCODE": (["sev", "fac", "code"], "(((sev)<<31)|((fac)<<16)|(code))"),
    "HRESULT_FROM_WIN32": (["x"], "((x)&0xFFFF|(7<<16)|0x80000000)"),
}

# Identifiers that may appear inside a cast.
CAST_WORDS = {
    "HRESULT", "SCODE", "LONG", "ULONG", "DWORD", "long", "unsigned", "int",
    "signed", "__LONG32", "UINT", "INT", "short",
}

TOKEN = re.compile(
    r"\s*(?:(0[xX][0-9a-fA-F]+|\d+)[uUlL]*|([A-Za-z_]\w*)|(<<|>>|##|[-+*/|&~^()<>,]))"
)


class Definition:
    """One named definition: its body text and where it came from."""

    def __init__(self, name, params, body, header, line, is_enum=False):
        self.name = name
        self.params = params  # None for object-like macros and enumerators
        self.body = body
        self.header = header
        self.line = line
        self.is_enum = is_enum


def _strip_comments(text):
    # A block comment keeps its line breaks so that line numbers stay right.
    text = re.sub(r"/\*.*?\*/", lambda m: " " + "\n" * m.group(0).count("\n"), text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def read_header(path, header_name):
    """Returns the header's macros and enumerators in the order they appear."""
    with open(path, encoding="latin-1") as f:
        text = _strip_comments(f.read())
    text = re.sub(r"\\\r?\n", " ", text)
    definitions = []
    for number, line in enumerate(text.split("\n"), 1):
        m = re.match(r"\s*#\s*define\s+([A-Za-z_]\w*)(\(([^)]*)\))?\s*(.*)$", line)
        if not m:
            continue
        params = None
        if m.group(2) is not None:
            params = [p.strip() for p in m.group(3).split(",") if p.strip()]
        definitions.append(Definition(m.group(1), params, m.group(4).strip(), header_name, number))
    for block in re.finditer(r"\benum\b\s*\w*\s*\{(.*?)\}", text, flags=re.S):
        first_line = text.count("\n", 0, block.start(1)) + 1
        previous = None
        for item in block.group(1).split(","):
            item = item.strip()
            m = re.match(r"([A-Za-z_]\w*)\s*(?:=\s*(.*))?$", item, flags=re.S)
            if not m:
                continue
            body = m.group(2)
            if body is None:
                body = "(%s)+1" % previous if previous else "0"
            body = " ".join(body.split())
            definitions.append(Definition(m.group(1), None, body, header_name, first_line, is_enum=True))
            previous = m.group(1)
    return definitions


def tokenize(text):
    tokens = []
    pos = 0
    text = text.rstrip()
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m or m.end() == pos:
            raise ValueError("cannot read %r" % text[pos:])
        if m.group(1):
            tokens.append(("num", int(m.group(1), 0)))
        elif m.group(2):
            tokens.append(("id", m.group(2)))
        else:
            tokens.append(("op", m.group(3)))
        pos = m.end()
    return tokens


class Evaluator:
    """Expands and evaluates definitions; remembers which names each used."""

    def __init__(self, definitions):
        self.macros = {}
        for d in definitions:
            # The first definition of a name is the one the header means; later
            # ones sit in the other branch of a conditional block.
            self.macros.setdefault(d.name, d)
        for name, (params, body) in FIXED_MACROS.items():
            self.macros[name] = Definition(name, params, body, "<fixed>", 0)

    def _expand(self, tokens, active, used):
        out = []
        i = 0
        while i < len(tokens):
            kind, value = tokens[i]
            if kind != "id" or value in active or value not in self.macros:
                out.append(tokens[i])
                i += 1
                continue
            d = self.macros[value]
            if d.params is None:
                used.add(value)
                out.append(("op", "("))
                out.extend(self._expand(tokenize(d.body), active | {value}, used))
                out.append(("op", ")"))
                i += 1
                continue
            if i + 1 >= len(tokens) or tokens[i + 1] != ("op", "("):
                out.append(tokens[i])
                i += 1
                continue
            args, i = _split_arguments(tokens, i + 2)
            if value not in FIXED_MACROS:
                used.add(value)
            args = [self._expand(a, active, used) for a in args]
            body = []
            for t in tokenize(d.body):
                if t[0] == "id" and t[1] in d.params:
                    body.append(("op", "("))
                    body.extend(args[d.params.index(t[1])])
                    body.append(("op", ")"))
                else:
                    body.append(t)
            out.append(("op", "("))
            out.extend(self._expand(body, active | {value}, used))
            out.append(("op", ")"))
        return out

    def evaluate(self, name):
        """Returns (value or None, names used by the definition)."""
        d = self.macros[name]
        used = set()
        try:
            tokens = self._expand(tokenize(d.body), {name}, used)
            return _compute(_drop_casts(tokens)) & 0xFFFFFFFF, used
        except (ValueError, SyntaxError, TypeError, ZeroDivisionError, RecursionError):
            return None, used


def _split_arguments(tokens, i):
    args, current, depth = [], [], 0
    while i < len(tokens):
        t = tokens[i]
        if t == ("op", "(") :
            depth += 1
        elif t == ("op", ")"):
            if depth == 0:
                args.append(current)
                return args, i + 1
            depth -= 1
        elif t == ("op", ",") and depth == 0:
            args.append(current)
            current = []
            i += 1
            continue
        current.append(t)
        i += 1
    raise ValueError("unclosed macro call")


def _drop_casts(tokens):
    out = []
    i = 0
    while i < len(tokens):
        if tokens[i] == ("op", "("):
            j = i + 1
            while j < len(tokens) and tokens[j][0] == "id" and tokens[j][1] in CAST_WORDS:
                j += 1
            if j > i + 1 and j < len(tokens) and tokens[j] == ("op", ")"):
                i = j + 1
                continue
        out.append(tokens[i])
        i += 1
    return out


def _compute(tokens):
    text = []
    for kind, value in tokens:
        if kind == "id":
            raise ValueError("undefined name " + value)
        if kind == "op" and value in ("##", ",", "/", "^", "<", ">"):
            raise ValueError("unsupported operator " + value)
        text.append(str(value))
    if not text:
        raise ValueError("empty definition")
    return int(eval(" ".join(text), {"__builtins__": {}}, {}))
