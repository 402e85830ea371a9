"""Gathers the named result codes of every family and settles one entry per
value."""

import csv
import os

from families import FAMILIES, HEADERS, JOIN_ONLY, SYSTEM, family_of, is_marker
from header_reader import Evaluator, read_header

WIN32_RESULT = 0x80070000


class Named:
    """One name of one family with its 32-bit value."""

    def __init__(self, name, value, family):
        self.name = name
        self.value = value
        self.family = family


def read_definitions(include_dir):
    definitions = []
    for header in HEADERS:
        definitions += read_header(os.path.join(include_dir, header), header)
    return definitions


def read_extra(path):
    with open(path, newline="", encoding="utf-8") as f:
        return [(row["name"], int(row["value"], 16), row["header"]) for row in csv.DictReader(f, delimiter="\t")]


def collect(include_dir, extra_path):
    """Returns the names of all families, in family and definition order,
    without range markers and without names defined as another name; and the
    set of codes that DirectX names are defined as (such as E_FAIL)."""
    definitions = read_definitions(include_dir)
    evaluator = Evaluator(definitions)
    all_names = {d.name for d in definitions}

    candidates = []  # (Named, names its definition uses)
    seen = set()
    for d in definitions:
        if d.params is not None or (d.name, d.header) in seen:
            continue
        seen.add((d.name, d.header))
        value, used = evaluator.evaluate(d.name)
        if value is None:
            continue
        family = family_of(d.name, d.header, value)
        if family is None or is_marker(d.name, all_names):
            continue
        candidates.append((Named(d.name, value, family), used))

    candidate_names = {n.name for n, _ in candidates}
    named = []
    alias_values = set()  # the codes DirectX names are defined as
    for n, used in candidates:
        if (used & candidate_names) - {n.name}:
            if n.family.directx:
                alias_values.add(n.value)
        else:
            named.append(n)

    # The extra data file gives values only, with generic aliases resolved; a
    # value that a COM name or an earlier name of the same family already
    # holds is such an alias.
    com_values = {n.value for n in named if n.family.key == "com"}
    family_values = {}
    for name, value, header in read_extra(extra_path):
        family = family_of(name, header, value)
        if family is None or is_marker(name, all_names):
            continue
        taken = family_values.setdefault(family.key, set())
        if value in com_values or value in taken:
            alias_values.add(value)
            continue
        taken.add(value)
        named.append(Named(name, value, family))

    order = {f.key: i for i, f in enumerate(FAMILIES)}
    named.sort(key=lambda n: order[n.family.key])  # stable: definition order kept
    return named, alias_values


class Entry:
    """One value of the name table: the names joined for it, by family."""

    def __init__(self, value):
        self.value = value
        self.names = []  # Named, at most one per family


def settle(named):
    """One entry per value. A family keeps its first name for a value. Across
    families, the first family in precedence order names the value, except
    that DirectX families sharing a value are joined; media-object names
    appear only joined to another DirectX name."""
    per_value = {}
    for n in named:
        values = [n.value]
        if n.family.key == SYSTEM:
            values.append((WIN32_RESULT + n.value) & 0xFFFFFFFF)
        for v in values:
            per_value.setdefault(v, []).append(n)

    entries = []
    for value, names in per_value.items():
        entry = Entry(value)
        families = set()
        for n in names:
            if n.family.key in families:
                continue
            families.add(n.family.key)
            entry.names.append(n)
        first = entry.names[0]
        if first.family.directx:
            entry.names = [n for n in entry.names if n.family.directx]
        else:
            entry.names = [first]
        if all(n.family.key in JOIN_ONLY for n in entry.names) or (
            len(entry.names) == 1 and entry.names[0].family.key in JOIN_ONLY
        ):
            continue
        entries.append(entry)
    entries.sort(key=lambda e: e.value)
    return entries
