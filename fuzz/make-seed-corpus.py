#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora from the demo school: every operation of the reference
service is called once, its whole answer becomes a seed of the answer reader, and the result
document inside it a seed of the document parsers, led by the byte that picks the parser the
client reads it with.

Usage: fuzz/make-seed-corpus.py BUILD_DIR   (BUILD_DIR holds server/hsschool-server)
"""
import base64
import pathlib
import re
import subprocess
import sys
import tempfile
import urllib.request
import xml.etree.ElementTree as ElementTree

HERE = pathlib.Path(__file__).resolve().parent
SOAP = "http://schemas.xmlsoap.org/soap/envelope/"
XSD = "http://www.w3.org/2001/XMLSchema"

# The demo school's values for every argument name the service's description uses.
VALUES = {
    "classId": "1", "page": "1", "pageSize": "20", "schoolCode": "1", "typeCode": "xxtz",
    "newsId": "1", "testId": "1", "studentId": "1", "teacherId": "1", "resourceId": "1",
    "userId": "1", "loginType": "0", "authorRole": "0", "fourth": "0", "keyword": "学",
    "kind": "", "text": "明天带好作业本，家长会七点开始。", "userName": "wangfang",
    "password": "teacher123", "oldPassword": "teacher123", "newPassword": "teacher123",
}

# Where one operation needs other values: a parent signs in with the student's account.
OVERRIDES = {"loginStudent": {"userName": "jz1001", "password": "parent123"}}

# The parser the client reads each operation's result with.
PARSER_OF = {
    "loginTeacher": "LoginTeacherParser", "loginStudent": "LoginStudentParser",
    "getNewsTypes": "NewsTypeParser", "getNews": "GetNewsesParser", "getNewsById": "GetNewsByIdParser",
    "getReturns": "GetReturnsParser", "getResourceTypes": "ResourceTypeParser",
    "getResources": "GetResourcesParser", "SearchResource": "GetResourcesParser",
    "getPhotoResources": "GetResourcesParser", "getResource": "GetResourceParser",
    "getHomeWorks": "GetHomeWorksParser", "getTestSubjects": "SubjectsParser",
    "getTestScores": "TestScoreParser", "getStudentScores": "StudentScoresParser",
    "getStdStates": "GetStatesParser", "getChats": "GetChatParser", "getStudents": "GetStudentsParser",
    "getTeachers": "GetMyTeacherParser", "setTeacherAvatar": "UserPicUploadParser",
    "setStudentAvatar": "UserPicUploadParser",
}


def parser_order():
    """The parsers in the order the document target numbers them (its first input byte)."""
    source = (HERE / "documents" / "DocumentFuzzer.cpp").read_text()
    listed = re.search(r"using EveryParser = ParserList<(.*?)>;", source, re.S).group(1)
    return [name.strip() for name in listed.split(",")]


def operations(wsdl):
    """Each operation's name with its argument names, from the service's own description."""
    tree = ElementTree.fromstring(wsdl)
    for element in tree.iter(f"{{{XSD}}}element"):
        arguments = element.findall(f"./{{{XSD}}}complexType/{{{XSD}}}sequence/{{{XSD}}}element")
        if element.get("name", "").endswith("Response") or not arguments:
            continue
        names = [a.findtext(f".//{{{XSD}}}documentation", "").split(":")[0] for a in arguments]
        yield element.get("name"), names


def envelope(namespace, operation, arguments):
    values = "".join(f"<ns1:in{i}>{value}</ns1:in{i}>" for i, value in enumerate(arguments))
    return (f'<?xml version="1.0" encoding="UTF-8"?><soapenv:Envelope xmlns:soapenv="{SOAP}">'
            f'<soapenv:Body><ns1:{operation} xmlns:ns1="{namespace}">{values}</ns1:{operation}>'
            "</soapenv:Body></soapenv:Envelope>").encode()


def argument_value(operation, name, picture):
    if name == "image":
        return picture
    return OVERRIDES.get(operation, {}).get(name, VALUES.get(name, "1"))


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    picture = base64.b64encode((HERE.parent / "src/assets/images/news_reply.png").read_bytes()).decode()
    order = parser_order()
    with tempfile.TemporaryDirectory() as folder:
        server = subprocess.Popen([build / "server/hsschool-server", "--port", "0", "--seed",
                                   "--db", f"{folder}/school.db"], stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True)
        try:
            base = re.search(r"http://\S+", server.stdout.readline()).group(0)
            endpoint = f"{base}/school/services/schoolSvc"
            wsdl = urllib.request.urlopen(f"{endpoint}?wsdl").read()
            namespace = ElementTree.fromstring(wsdl).get("targetNamespace")
            for operation, names in operations(wsdl):
                keys = ["qovel", "zantre"]
                arguments = keys + [argument_value(operation, n, picture) for n in names[len(keys):]]
                request = urllib.request.Request(endpoint, envelope(namespace, operation, arguments),
                                                 {"Content-Type": "text/xml; charset=utf-8"})
                answer = urllib.request.urlopen(request).read()
                (HERE / "transport/corpus" / f"demo_{operation}.xml").write_bytes(answer)
                document = ElementTree.fromstring(answer).find(f".//{{{namespace}}}out").text or ""
                selector = order.index(PARSER_OF.get(operation, "ResultParser"))
                (HERE / "documents/corpus" / f"demo_{operation}.xml").write_bytes(
                    bytes([selector]) + document.encode())
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
