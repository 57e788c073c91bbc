"""Reads a JUnit XML file as CI dashboards do (Python's own XML parser) and
checks what the JUnit schema requires: testsuites of testsuite elements
with name, tests, failures, errors; testcases with classname and name;
failures with a message. Prints each test case and its outcome."""
import sys
import xml.etree.ElementTree as ElementTree

root = ElementTree.parse(sys.argv[1]).getroot()
problems = []
if root.tag != "testsuites":
    problems.append("the root is <%s>, not <testsuites>" % root.tag)
for suite in root.findall("testsuite"):
    for attribute in ("name", "tests", "failures", "errors"):
        if attribute not in suite.attrib:
            problems.append("a testsuite has no %s" % attribute)
    cases = suite.findall("testcase")
    failed = [case for case in cases if case.find("failure") is not None]
    if int(suite.get("tests", -1)) != len(cases):
        problems.append("tests=%s but %d testcases" % (suite.get("tests"), len(cases)))
    if int(suite.get("failures", -1)) != len(failed):
        problems.append("failures=%s but %d failed" % (suite.get("failures"), len(failed)))
    for case in cases:
        for attribute in ("classname", "name"):
            if not case.get(attribute):
                problems.append("a testcase has no %s" % attribute)
        failure = case.find("failure")
        if failure is not None and not failure.get("message"):
            problems.append("a failure has no message")
        print("%s: %s" % (case.get("name"),
                          "passed" if failure is None else
                          "failed (%s: %s)" % (failure.get("type"), failure.get("message"))))
if problems:
    print("\n".join(problems), file=sys.stderr)
    sys.exit(1)
