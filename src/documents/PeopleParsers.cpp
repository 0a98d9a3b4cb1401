#include "documents/GetMyTeacherParser.h"
#include "documents/GetStudentsParser.h"
#include "documents/UserPicUploadParser.h"
#include "common/HsLog.h"

namespace {

// The student's name comes from "UserName"; "StudentName" is not a field of this document.
constexpr FieldRule<StudentItem> studentFields[] = {
    field<&StudentItem::studentId>("StudentId"),
    field<&StudentItem::studentName>("UserName"),
    field<&StudentItem::avatar>("Avatar"),
};

// The document's "TeacherId" fills no field, which is the same as not knowing it: teacherId
// stays 0.
constexpr FieldRule<TeacherItem> teacherFields[] = {
    field<&TeacherItem::teacherName>("TeacherName"),
    field<&TeacherItem::avatar>("Avatar"),
};

constexpr FieldRule<UploadedPicture> uploadFields[] = {
    field<&UploadedPicture::image>("Image"),
};

} // namespace

GetStudentsParser::GetStudentsParser() : ListDocumentParser("Student", studentFields) {}

GetStudentsParser::~GetStudentsParser()
{
    hsLog(" get students parser dealloc");
}

GetMyTeacherParser::GetMyTeacherParser() : ListDocumentParser("Teacher", teacherFields) {}

GetMyTeacherParser::~GetMyTeacherParser()
{
    hsLog(" get teachers parser dealloc");
}

UserPicUploadParser::UserPicUploadParser() : SingleRecordParser(uploadFields) {}

UserPicUploadParser::~UserPicUploadParser()
{
    hsLog("result parser dealloc");
}
