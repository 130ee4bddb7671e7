"""The README's host snippets hold at every line.

Every fenced block in a host's language is marked, on the line before it:
  <!-- snippet: PATH -->        the block is, line for line, the region of
                                PATH between its "readme-snippet: begin" and
                                "readme-snippet: end" lines: an example the
                                suite runs
  <!-- declarations: vba -->    VBA 7 Declare statements, checked against the
  <!-- declarations: ctypes --> public header, as are Python ctypes ones:
                                each function's name, its parameters' count
                                and kinds (pointer or value, ANSI or UTF-16
                                text or integer), its result, its calling
                                convention (ctypes: CDLL for cdecl, WinDLL for
                                stdcall; 32-bit VBA calls stdcall only, so a
                                cdecl function may be declared only when it
                                takes no arguments)
Every example region is shown somewhere in the README.

  readme_snippets.py README HEADER SOURCE-DIR
"""
import re
import sys
from pathlib import Path

HOST_LANGUAGES = {"c", "js", "javascript", "nsis", "pascal", "vb", "vba", "python"}
MARK = re.compile(r"<!--\s*(snippet|declarations):\s*(\S+)\s*-->")

failures = []


def fail(message):
    failures.append(message)


def header_functions(header):
    """name -> (convention, result, [(kind, what)])"""
    text = re.sub(r"/\*.*?\*/", " ", header.read_text(), flags=re.S)
    text = " ".join(text.split())
    functions = {}
    for result, convention, name, parameters in re.findall(
            r"\b(int|void)\s+__(cdecl|stdcall)\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        kinds = []
        for parameter in parameters.split(","):
            parameter = parameter.strip()
            if parameter in ("", "void"):
                continue
            pointer = "*" in parameter
            if "wchar_t" in parameter:
                what = "UTF-16 text"
            elif "char" in parameter:
                what = "ANSI text"
            else:
                what = "integer"
            kinds.append(("pointer" if pointer else "value", what))
        functions[name] = (convention, result, kinds)
    return functions


def blocks(readme):
    """(line number, marker or None, language, body lines) of each fenced block."""
    lines = readme.read_text().splitlines()
    found = []
    i = 0
    while i < len(lines):
        opening = re.match(r"^```(\w*)\s*$", lines[i])
        if not opening:
            i += 1
            continue
        start = i
        i += 1
        while i < len(lines) and lines[i].strip() != "```":
            i += 1
        previous = next((lines[j] for j in range(start - 1, -1, -1) if lines[j].strip()), "")
        marker = MARK.search(previous)
        found.append((start + 1, marker.groups() if marker else None, opening.group(1).lower(),
                      lines[start + 1:i]))
        i += 1
    return found


def region(path):
    lines = path.read_text().splitlines()
    starts = [n for n, line in enumerate(lines) if "readme-snippet: begin" in line]
    ends = [n for n, line in enumerate(lines) if "readme-snippet: end" in line]
    if len(starts) != 1 or len(ends) != 1 or ends[0] < starts[0]:
        return None
    return lines[starts[0] + 1:ends[0]]


def compare(where, name, declared, functions, convention_rule):
    if name not in functions:
        fail(f"{where}: {name} is not a function of the header")
        return
    convention, result, kinds = functions[name]
    if declared["kinds"] != kinds:
        fail(f"{where}: {name} declared with {declared['kinds']}, the header has {kinds}")
    if declared["result"] != result:
        fail(f"{where}: {name} declared returning {declared['result']}, the header: {result}")
    problem = convention_rule(declared, convention, kinds)
    if problem:
        fail(f"{where}: {name}: {problem}")


VBA_DECLARE = re.compile(
    r'Declare\s+(?:PtrSafe\s+)?(Function|Sub)\s+(\w+)\s+Lib\s+"[^"]*"\s*'
    r'(?:Alias\s+"(\w+)"\s*)?\((.*?)\)\s*(?:As\s+(\w+))?\s*$', re.I)


def vba_kind(parameter):
    match = re.match(r"(?:(ByVal|ByRef)\s+)?\w+\s+As\s+(\w+)$", parameter.strip(), re.I)
    if not match:
        return ("unreadable", parameter)
    passing, kind = (match.group(1) or "ByRef").lower(), match.group(2).lower()
    if passing == "byval" and kind == "string":
        return ("pointer", "ANSI text")
    if passing == "byval" and kind == "longptr":
        return ("pointer", "UTF-16 text")  # StrPtr of a String
    if kind == "long":
        return ("value", "integer") if passing == "byval" else ("pointer", "integer")
    return ("unreadable", parameter)


def check_vba(where, body, functions):
    text = re.sub(r"\s_\s*\n\s*", " ", "\n".join(body))
    declared_any = False
    for line in text.splitlines():
        if "Declare" not in line or line.lstrip().startswith("'"):
            continue
        match = VBA_DECLARE.search(line)
        if not match:
            fail(f"{where}: cannot read {line.strip()!r}")
            continue
        declared_any = True
        kind, name, alias, parameters, result = match.groups()
        declared = {
            "kinds": [vba_kind(p) for p in parameters.split(",") if p.strip()],
            "result": "void" if kind.lower() == "sub" else
                      "int" if (result or "").lower() == "long" else result,
        }

        def rule(declared, convention, kinds):
            if convention == "cdecl" and kinds:
                return "32-bit VBA cannot call a cdecl function that takes arguments"
            return None
        compare(where, alias or name, declared, functions, rule)
    if not declared_any:
        fail(f"{where}: no Declare statement")


CTYPES_KINDS = {
    "ctypes.c_char_p": ("pointer", "ANSI text"),
    "ctypes.c_wchar_p": ("pointer", "UTF-16 text"),
    "ctypes.POINTER(ctypes.c_int)": ("pointer", "integer"),
    "ctypes.c_int": ("value", "integer"),
}
CTYPES_RESULTS = {"ctypes.c_int": "int", "None": "void"}


def check_ctypes(where, body, functions):
    text = "\n".join(body)
    aliases = dict(re.findall(r"^(\w+)\s*=\s*(ctypes\.POINTER\(ctypes\.c_int\))\s*$", text, re.M))
    libraries = {}
    for variable, loader in re.findall(r"^(\w+)\s*=\s*ctypes\.(WinDLL|CDLL)\(", text, re.M):
        libraries[variable] = "stdcall" if loader == "WinDLL" else "cdecl"
    argtypes = {}
    for variable, name, listed in re.findall(r"^(\w+)\.(\w+)\.argtypes\s*=\s*\[(.*?)\]", text, re.M | re.S):
        types = [aliases.get(t.strip(), t.strip()) for t in listed.split(",") if t.strip()]
        argtypes[(variable, name)] = [CTYPES_KINDS.get(t, ("unreadable", t)) for t in types]
    restypes = {(v, n): CTYPES_RESULTS.get(r.strip(), r.strip())
                for v, n, r in re.findall(r"^(\w+)\.(\w+)\.restype\s*=\s*(.+)$", text, re.M)}
    called = set(re.findall(r"\b(\w+)\.(\w+)\(", text)) - {("ctypes", n) for n in
                                                            ("WinDLL", "CDLL", "POINTER",
                                                             "byref", "c_int",
                                                             "create_unicode_buffer",
                                                             "create_string_buffer")}
    for variable, name in sorted(called):
        if variable in libraries and (variable, name) not in argtypes:
            fail(f"{where}: {variable}.{name} is called without argtypes")
    if not argtypes:
        fail(f"{where}: no argtypes")
    for (variable, name), kinds in argtypes.items():
        if variable not in libraries:
            fail(f"{where}: {variable} is not a ctypes.WinDLL or ctypes.CDLL")
            continue
        declared = {"kinds": kinds, "result": restypes.get((variable, name), "int"),
                    "convention": libraries[variable]}

        def rule(declared, convention, kinds):
            if declared["convention"] != convention:
                loader = "CDLL" if convention == "cdecl" else "WinDLL"
                return f"{convention} in the header: call it through ctypes.{loader}"
            return None
        compare(where, name, declared, functions, rule)


def main(readme, header, source):
    readme, header, source = Path(readme), Path(header), Path(source)
    functions = header_functions(header)
    if len(functions) < 20:
        fail(f"{header}: read {len(functions)} functions, expected all 20")
    shown = set()
    for line, marker, language, body in blocks(readme):
        where = f"README.md:{line}"
        if marker is None:
            if language in HOST_LANGUAGES:
                fail(f"{where}: a {language} block that is neither an example's text nor checked")
            continue
        kind, what = marker
        if kind == "snippet":
            expected = region(source / what)
            shown.add(what)
            if expected is None:
                fail(f"{where}: {what} has no single readme-snippet region")
            elif body != expected:
                fail(f"{where}: differs from the region of {what}")
        elif what == "vba":
            check_vba(where, body, functions)
        elif what == "ctypes":
            check_ctypes(where, body, functions)
        else:
            fail(f"{where}: unknown declarations {what!r}")
    for example in sorted((source / "examples").rglob("*")):
        relative = example.relative_to(source).as_posix()
        if example.is_file() and "readme-snippet: begin" in example.read_text(errors="replace") \
                and relative not in shown:
            fail(f"{relative} has a README region the README does not show")
    for message in failures:
        print("FAIL " + message)
    if not failures:
        print(f"ok   every host snippet of {readme.name}: {len(shown)} examples, the rest checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
