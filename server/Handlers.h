#pragma once

#include "Operations.h"
#include "XmlText.h"

#include <string>
#include <string_view>
#include <vector>

// Result codes of the service: 0 success, anything else a refusal with an Error text.
namespace refusal {
inline constexpr int kWrongCredentials = 1;
inline constexpr int kNotFound = 2;
inline constexpr int kBadArgument = 3;
inline constexpr int kWrongAccessKey = 4;
inline constexpr int kTooManyAttempts = 5;
} // namespace refusal

// Element names of the fields of an item, in the order of the query's columns.
using FieldNames = std::vector<std::string_view>;

// A result document: <Result><Code>..</Code><Error>..</Error> then items or fields.
class ResultDocument
{
public:
    explicit ResultDocument(int code = 0, std::string_view error = {});

    void field(std::string_view name, std::string_view value) { xml_.element(name, value); }
    // One item element whose fields take the current row's columns in order.
    void item(std::string_view itemName, const FieldNames &fields, const Statement &row);
    // The fields of the current row in order, without an item element.
    void fields(const FieldNames &fields, const Statement &row);

    // The document escaped as the text of the answer's ns1:out.
    std::string finish() { return xml_.finish(); }

private:
    // A page of results, escaped, fits in this many bytes.
    static constexpr size_t kExpectedBytes = 8 * 1024;

    XmlText xml_{XmlText::Form::escapedAsText, kExpectedBytes};
};

std::string success();
std::string refuse(int code, std::string_view error);

// Rows of a query, one item element each.
template <typename... Values>
std::string listDocument(Connection &db, std::string_view itemName, const FieldNames &fields,
                         std::string_view sql, const Values &...values)
{
    Statement stmt = db.prepare(sql);
    stmt.bindAll(values...);
    ResultDocument doc;
    while (stmt.step())
        doc.item(itemName, fields, stmt);
    return doc.finish();
}

// The one row of a query as plain fields, or the refusal when there is no such row.
template <typename... Values>
std::string recordDocument(Connection &db, const FieldNames &fields, std::string_view missing,
                           std::string_view sql, const Values &...values)
{
    Statement stmt = db.prepare(sql);
    stmt.bindAll(values...);
    if (!stmt.step())
        return refuse(refusal::kNotFound, missing);
    ResultDocument doc;
    doc.fields(fields, stmt);
    return doc.finish();
}

// LIMIT and OFFSET for a page counted from 1. A page below 1 reads as 1; a size outside
// 1..100 reads as the usual 20.
struct Page
{
    int64_t limit;
    int64_t offset;
};
Page pageOf(const Arguments &args, std::string_view pageName = "page",
            std::string_view sizeName = "pageSize");

// The local time now as the documents write dates: "YYYY-MM-DD HH:MM".
std::string currentDate();

// Handlers, by area.
std::string loginTeacher(Call &call);
std::string loginStudent(Call &call);
std::string changePassword(Call &call);
std::string setTeacherAvatar(Call &call);
std::string setStudentAvatar(Call &call);
std::string setStudentInfo(Call &call);
std::string getStudents(Call &call);
std::string getTeachers(Call &call);
std::string createFeedback(Call &call);

std::string getHomeWorks(Call &call);
std::string createHomeWork(Call &call);
std::string getTestSubjects(Call &call);
std::string getTestScores(Call &call);
std::string getStudentScores(Call &call);
std::string getStdStates(Call &call);
std::string createStdState(Call &call);
std::string getChats(Call &call);
std::string postChat(Call &call);

std::string getNews(Call &call);
std::string getNewsById(Call &call);
std::string getNewsTypes(Call &call);
std::string createReturn(Call &call);
std::string getReturns(Call &call);

std::string getResources(Call &call);
std::string searchResource(Call &call);
std::string getPhotoResources(Call &call);
std::string getResource(Call &call);
std::string getResourceTypes(Call &call);
