#pragma once

#include <array>
#include <string_view>
#include <vector>

// The texts the demo school is made of. Longer texts are put together from these pieces.
namespace seed {

struct ClassData
{
    int id;
    std::string_view name;
};

struct TeacherData
{
    std::string_view account;
    std::string_view realName;
    std::string_view subject;
    int classId;
};

// A child in the other class whose parents already have a child at the school: the same
// surname, parents, home and telephones as the elder, and the parent account after the elder's.
struct SiblingData
{
    int elderClassId;
    int elderNumber;
    int classId;
    std::string_view givenName;
};

struct TypeData
{
    std::string_view code;
    std::string_view name;
    int typeType;
};

struct NewsData
{
    std::string_view title;
    // The notice asks every family for a reply.
    bool asksReply = false;
};

struct ResourceTypeData
{
    std::string_view code;
    std::string_view name;
    std::array<std::string_view, 2> pictures;
};

struct ResourceData
{
    std::string_view title;
    std::string_view feature;
};

inline constexpr std::string_view kSchoolCode = "330106001";
inline constexpr std::string_view kSchoolName = "明德实验小学";

extern const std::vector<ClassData> kClasses;
// 胡佳琪 (jz1012, class 1) has a younger sister, 胡佳乐, in class 2 (jz1013).
inline constexpr SiblingData kSibling{1, 12, 2, "佳乐"};
extern const std::vector<TeacherData> kTeachers;
extern const std::vector<std::string_view> kSurnames;
extern const std::vector<std::string_view> kGivenNames;
extern const std::vector<std::string_view> kMotherGivenNames;
extern const std::vector<std::string_view> kFatherGivenNames;
extern const std::vector<std::string_view> kJobs;
extern const std::vector<std::string_view> kStreets;
extern const std::vector<std::string_view> kCommunities;

extern const std::vector<TypeData> kNewsTypes;
// The headlines of each news type, in the order of kNewsTypes, oldest first. Class notices go to
// class 1 and class 2 in turn, starting with class 1.
extern const std::vector<std::vector<NewsData>> kNewsTitles;
// The texts of notices and previews: a greeting, two paragraphs and a closing line; notices that
// ask for a reply close with kReplyClosing.
extern const std::vector<std::string_view> kNewsOpenings;
extern const std::vector<std::string_view> kNewsBodies;
extern const std::vector<std::string_view> kNewsClosings;
extern const std::string_view kReplyClosing;
// The texts of news reports and articles: two paragraphs and a closing line.
extern const std::vector<std::string_view> kArticleBodies;
extern const std::vector<std::string_view> kArticleClosings;

extern const std::vector<ResourceTypeData> kResourceTypes;
// Ten resources per resource type, in the order of kResourceTypes.
extern const std::vector<std::vector<ResourceData>> kResources;
extern const std::vector<std::string_view> kResourceHours;
extern const std::vector<std::string_view> kResourceAdvice;

extern const std::vector<std::pair<std::string_view, std::vector<std::string_view>>> kHomework;
extern const std::vector<std::string_view> kStateKinds;
extern const std::vector<std::string_view> kStatePhrases;
extern const std::vector<std::string_view> kTeacherChats;
extern const std::vector<std::string_view> kParentChats;
extern const std::vector<std::string_view> kReplies;
extern const std::vector<std::string_view> kTestNames;

} // namespace seed
