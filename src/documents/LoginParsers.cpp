#include "documents/LoginStudentParser.h"
#include "documents/LoginTeacherParser.h"
#include "common/HsLog.h"

namespace {

using Login = LoginResultItem;

// Each document is read only with its own names: the teacher document's parser does not know
// the student or family fields, and the other way round.
constexpr FieldRule<Login> teacherFields[] = {
    field<&Login::userId>("TeacherId"),      field<&Login::userName>("TeacherName"),
    field<&Login::realName>("RealName"),     field<&Login::avatar>("Avatar"),
    field<&Login::classId>("ClassId"),       field<&Login::className>("ClassName"),
    field<&Login::schoolCode>("SchoolCode"), field<&Login::address>("Address"),
};

constexpr FieldRule<Login> studentFields[] = {
    field<&Login::userId>("StudentId"),        field<&Login::userName>("StudentName"),
    field<&Login::realName>("RealName"),       field<&Login::avatar>("Avatar"),
    field<&Login::classId>("ClassId"),         field<&Login::className>("ClassName"),
    field<&Login::schoolCode>("SchoolCode"),   field<&Login::address>("Address"),
    field<&Login::phone>("UrgentPhone"),       field<&Login::motherName>("MotherName"),
    field<&Login::motherPhone>("MotherPhone"), field<&Login::motherWork>("MotherWork"),
    field<&Login::fatherName>("FatherName"),   field<&Login::fatherPhone>("FatherPhone"),
    field<&Login::fatherWork>("FatherWork"),
};

} // namespace

LoginTeacherParser::LoginTeacherParser() : SingleRecordParser(teacherFields) {}

LoginTeacherParser::~LoginTeacherParser()
{
    hsLog(" get login teacher parser dealloc");
}

LoginStudentParser::LoginStudentParser() : SingleRecordParser(studentFields) {}

LoginStudentParser::~LoginStudentParser()
{
    hsLog(" get login student parser dealloc");
}
