#!/usr/bin/env python3
"""The Group Policy templates in packaging/policy against the program.

Checks that pellucor.admx and every language's pellucor.adml are well-formed XML in the
policy definitions' namespace; that every string, presentation, category and
supportedOn an ADMX names exists; that every element of a policy has its
control in the presentation, and no control is left over; and that the
registry values the policies write are exactly those the program reads
(the PolicyRule table in src/policy/policy.h): the same key, names, types
and ranges. Prints one line per check; exits 1 if any failed.

    python3 tests/packaging/policy_templates.py [ROOT]
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
# The key the program reads its policies from, as src/platform/registry.h declares it.
KEY = re.search(r'kPolicyKey = "([^"]+)"', open(os.path.join(ROOT, "src/platform/registry.h"), encoding="utf-8").read()
                ).group(1).replace("\\\\", "\\")
results = []


def check(ok, what):
    results.append(bool(ok))
    print(("PASS " if ok else "FAIL ") + what)


def parse(path):
    try:
        return ET.parse(os.path.join(ROOT, path)).getroot()
    except (ET.ParseError, OSError) as e:
        check(False, f"{path} is well-formed XML: {e}")
        sys.exit(1)


def program_rules():
    """{name: (kind, min, max)} as src/policy/policy.h declares them."""
    header = open(os.path.join(ROOT, "src/policy/policy.h"), encoding="utf-8").read()
    constants = {}
    for folder, _, files in os.walk(os.path.join(ROOT, "src")):
        for f in files:
            if f.endswith(".h"):
                text = open(os.path.join(folder, f), encoding="utf-8").read()
                constants.update(re.findall(r"constexpr\s+int\s+(\w+)\s*=\s*(\d+);", text))
    value = lambda token: int(constants.get(token, token))
    rules = {}
    for name, kind, low, high in re.findall(
            r'PolicyRule\s+\w+\s*=\s*\{"(\w+)",\s*PolicyKind::(\w+),\s*(\w+),\s*(\w+)\}', header):
        rules[name] = (kind, value(low), value(high))
    return rules


admx = parse("packaging/policy/pellucor.admx")
adml = parse("packaging/policy/en-US/pellucor.adml")
check(admx.tag == NS + "policyDefinitions", "pellucor.admx is a policyDefinitions document")
check(adml.tag == NS + "policyDefinitionResources", "pellucor.adml is a policyDefinitionResources document")

strings = {s.get("id") for s in adml.iter(NS + "string")}
presentations = {p.get("id"): p for p in adml.iter(NS + "presentation")}
categories = {c.get("name") for c in admx.iter(NS + "category")}
supported = {d.get("name") for d in admx.iter(NS + "definition")}

named = set()
for element in admx.iter():
    for attribute, text in element.attrib.items():
        for kind, ref in re.findall(r"\$\((string|presentation)\.(\w+)\)", text):
            named.add((kind, ref))
            known = strings if kind == "string" else presentations
            check(ref in known, f"{element.tag.replace(NS, '')} {attribute} names {kind} '{ref}', in the ADML")
unused = strings - {ref for kind, ref in named if kind == "string"}
check(not unused, f"every string of the ADML is used (unused: {sorted(unused)})")

rules = program_rules()
check(len(rules) >= 6, f"the program's policy table read from src/policy/policy.h ({len(rules)} values)")
written = {}
for policy in admx.iter(NS + "policy"):
    name = policy.get("name")
    check(policy.get("class") == "Both", f"{name} is a computer and a user policy")
    check(policy.get("key") == KEY, f"{name} writes under HKLM/HKCU\\{KEY}")
    parents = [p.get("ref") for p in policy.findall(NS + "parentCategory")]
    check(parents and all(p in categories for p in parents), f"{name} sits in a defined category")
    ons = [s.get("ref") for s in policy.findall(NS + "supportedOn")]
    check(ons and all(s in supported for s in ons), f"{name} says what it is supported on")
    controls = set()
    ref = re.fullmatch(r"\$\(presentation\.(\w+)\)", policy.get("presentation", ""))
    if ref and ref.group(1) in presentations:
        controls = {c.get("refId") for c in presentations[ref.group(1)] if c.get("refId")}
    elements = policy.find(NS + "elements")
    ids = set()
    if policy.get("valueName"):
        on = policy.find(f"{NS}enabledValue/{NS}decimal")
        off = policy.find(f"{NS}disabledValue/{NS}decimal")
        written[policy.get("valueName")] = (
            "Switch", 0, 1) if on is not None and off is not None and (on.get("value"), off.get("value")) == (
            "1", "0") else ("enabled/disabled values other than decimal 1/0",)
    for element in (list(elements) if elements is not None else []):
        ids.add(element.get("id"))
        kind = element.tag.replace(NS, "")
        check(element.get("key") in (None, KEY), f"{name}'s {element.get('id')} writes under the policy key")
        if kind == "decimal":
            written[element.get("valueName")] = ("Number", int(element.get("minValue", 0)),
                                                 int(element.get("maxValue", 9999)))
            check(element.get("storeAsText") != "true", f"{name}'s number is a REG_DWORD")
        elif kind == "multiText":
            written[element.get("valueName")] = ("ProgramList", 0, 0)
        elif kind == "text":
            # A key in the stored words; required where no key is no answer.
            chord = "StopChord" if element.get("required") == "true" else "HideChord"
            written[element.get("valueName")] = (chord, 0, 0)
            check(element.get("expandable") != "true", f"{name}'s key is a plain REG_SZ")
        else:
            written[element.get("valueName")] = (f"an element the program does not read ({kind})",)
    check(ids == controls, f"{name}'s elements {sorted(ids)} each have their control, and only they")

for name in sorted(set(rules) | set(written)):
    check(rules.get(name) == written.get(name),
          f"{name}: the program reads {rules.get(name)}, the template writes {written.get(name)}")

# Every language's ADML: the same strings and presentations as en-US, each
# presentation with the same controls, and the program's languages each
# have one.
def presentation_shape(p):
    return [(child.tag, child.get("refId")) for child in p]


languages = sorted(d for d in os.listdir(os.path.join(ROOT, "packaging/policy"))
                   if os.path.isdir(os.path.join(ROOT, "packaging/policy", d)) and d != "en-US")
for culture in languages:
    other = parse(f"packaging/policy/{culture}/pellucor.adml")
    theirs = {s.get("id") for s in other.iter(NS + "string")}
    check(theirs == strings, f"{culture}: every string of en-US, and no other"
          + (f" (missing {sorted(strings - theirs)}, extra {sorted(theirs - strings)})" if theirs != strings else ""))
    check(all((s.text or "").strip() for s in other.iter(NS + "string")), f"{culture}: no string is empty")
    shapes = {p.get("id"): presentation_shape(p) for p in other.iter(NS + "presentation")}
    check(shapes == {k: presentation_shape(v) for k, v in presentations.items()},
          f"{culture}: the presentations of en-US, control for control")
tables = re.findall(r'#include "lang/[^"]+\.rc"', open(os.path.join(ROOT, "res/pellucor.rc"), encoding="utf-8").read())
check(len(languages) + 1 == len(tables),
      f"an ADML for each of the program's {len(tables)} languages ({len(languages) + 1} found)")

failed = results.count(False)
print(f"{len(results) - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
