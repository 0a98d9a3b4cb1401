#include "documents/GetChatParser.h"
#include "documents/GetHomeWorksParser.h"
#include "documents/GetStatesParser.h"
#include "documents/StudentScoresParser.h"
#include "documents/SubjectsParser.h"
#include "documents/TestScoreParser.h"
#include "common/HsLog.h"

namespace {

constexpr FieldRule<HomeWorkItem> homeWorkFields[] = {
    field<&HomeWorkItem::hwId>("HomeWorkId"),
    field<&HomeWorkItem::teacherName>("TeacherName"),
    field<&HomeWorkItem::content>("Content"),
    field<&HomeWorkItem::hwDate>("HomeWorkDate"),
};

constexpr FieldRule<TestScoreItem> testScoreFields[] = {
    field<&TestScoreItem::studentName>("StudentName"),
    field<&TestScoreItem::score>("StudentScore"),
};

// The average is "AvgScore" here and "ScoreAvg" in a student's own scores.
constexpr FieldRule<SubjectItem> subjectFields[] = {
    field<&SubjectItem::subjectId>("SubjectId"), field<&SubjectItem::subjectName>("SubjectName"),
    field<&SubjectItem::avgScore>("AvgScore"),   field<&SubjectItem::testName>("TestName"),
    field<&SubjectItem::testDate>("TestDate"),
};

constexpr FieldRule<TestScoreItem> studentScoreFields[] = {
    field<&TestScoreItem::subjectName>("SubjectName"),
    field<&TestScoreItem::avgScore>("ScoreAvg"),
    field<&TestScoreItem::score>("StudentScore"),
    field<&TestScoreItem::testDate>("TestDate"),
};

// The document's "Type" element fills no field, which is the same as not knowing it.
constexpr FieldRule<StudentStateItem> stateFields[] = {
    field<&StudentStateItem::teacherName>("TeacherName"),
    field<&StudentStateItem::content>("Content"),
    field<&StudentStateItem::stateDate>("Date"),
};

constexpr FieldRule<ChatItem> chatFields[] = {
    field<&ChatItem::userId>("UserId"),
    field<&ChatItem::userName>("UserName"),
    field<&ChatItem::content>("Content"),
    field<&ChatItem::chatDate>("ChatDate"),
};

} // namespace

GetHomeWorksParser::GetHomeWorksParser() : ListDocumentParser("HomeWork", homeWorkFields) {}

GetHomeWorksParser::~GetHomeWorksParser()
{
    hsLog(" get home works parser dealloc");
}

TestScoreParser::TestScoreParser() : ListDocumentParser("Score", testScoreFields) {}

TestScoreParser::~TestScoreParser()
{
    hsLog(" get test scores parser dealloc");
}

SubjectsParser::SubjectsParser() : ListDocumentParser("Subject", subjectFields) {}

SubjectsParser::~SubjectsParser()
{
    hsLog(" get test subjects parser dealloc");
}

StudentScoresParser::StudentScoresParser() : ListDocumentParser("Score", studentScoreFields) {}

StudentScoresParser::~StudentScoresParser()
{
    hsLog(" get student scores parser dealloc");
}

GetStatesParser::GetStatesParser() : ListDocumentParser("State", stateFields) {}

GetStatesParser::~GetStatesParser()
{
    hsLog(" get states parser dealloc");
}

GetChatParser::GetChatParser() : ListDocumentParser("Chat", chatFields) {}

GetChatParser::~GetChatParser()
{
    hsLog(" get chats parser dealloc");
}
