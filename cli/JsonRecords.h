#pragma once

#include "documents/ChatItem.h"
#include "documents/HomeWorkItem.h"
#include "documents/LoginResultItem.h"
#include "documents/NewsItem.h"
#include "documents/NewsTypeItem.h"
#include "documents/ResourceItem.h"
#include "documents/ResourceTypeItem.h"
#include "documents/ReturnItem.h"
#include "documents/StudentItem.h"
#include "documents/StudentStateItem.h"
#include "documents/SubjectItem.h"
#include "documents/TeacherItem.h"
#include "documents/TestScoreItem.h"
#include "services/ChatServiceResponse.h"
#include "services/HomeWorkServiceResponse.h"
#include "services/LoginServiceResponse.h"
#include "services/NewsServiceResponse.h"
#include "services/ResourceServiceResponse.h"
#include "services/StudentInfoResponse.h"
#include "services/StudentStateServiceResponse.h"
#include "services/TestScoreServiceResponse.h"
#include "services/UploadAvatarResponse.h"

#include <nlohmann/json.hpp>
#include <optional>

// An absent value prints as null.
namespace nlohmann {
template <typename T> struct adl_serializer<std::optional<T>>
{
    template <typename Json> static void to_json(Json &target, const std::optional<T> &value)
    {
        if (value)
            target = *value;
        else
            target = nullptr;
    }
};
} // namespace nlohmann

// Records print with their own field names, in the records' field order.

inline void to_json(nlohmann::ordered_json &target, const ChatItem &item)
{
    target = {{"userId", item.userId},
              {"userName", item.userName},
              {"content", item.content},
              {"chatDate", item.chatDate}};
}

inline void to_json(nlohmann::ordered_json &target, const HomeWorkItem &item)
{
    target = {{"hwId", item.hwId},
              {"content", item.content},
              {"teacherName", item.teacherName},
              {"hwDate", item.hwDate}};
}

inline void to_json(nlohmann::ordered_json &target, const LoginResultItem &item)
{
    target = {
        {"userId", item.userId},         {"userName", item.userName},     {"realName", item.realName},
        {"avatar", item.avatar},         {"classId", item.classId},       {"className", item.className},
        {"schoolName", item.schoolName}, {"schoolCode", item.schoolCode}, {"address", item.address},
        {"phone", item.phone},           {"motherName", item.motherName}, {"motherPhone", item.motherPhone},
        {"motherWork", item.motherWork}, {"fatherName", item.fatherName}, {"fatherPhone", item.fatherPhone},
        {"fatherWork", item.fatherWork}};
}

inline void to_json(nlohmann::ordered_json &target, const NewsItem &item)
{
    target = {{"newsId", item.newsId},           {"newsTitle", item.newsTitle},
              {"publicDate", item.publicDate},   {"forceReturn", item.forceReturn},
              {"typeCode", item.typeCode},       {"imageUrl", item.imageUrl},
              {"newsContent", item.newsContent}, {"classId", item.classId}};
}

inline void to_json(nlohmann::ordered_json &target, const NewsTypeItem &item)
{
    target = {{"typeId", item.typeId},
              {"typeCode", item.typeCode},
              {"typeName", item.typeName},
              {"typeType", item.typeType}};
}

inline void to_json(nlohmann::ordered_json &target, const ResourceItem &item)
{
    target = {{"resId", item.resId},
              {"resTitle", item.resTitle},
              {"resThumb", item.resThumb},
              {"updateDate", item.updateDate},
              {"resContent", item.resContent},
              {"resImage", item.resImage},
              {"phone", item.phone},
              {"address", item.address},
              {"longitude", item.longitude},
              {"latitude", item.latitude},
              {"web", item.web},
              {"typeCode", item.typeCode}};
}

inline void to_json(nlohmann::ordered_json &target, const ResourceTypeItem &item)
{
    target = {{"typeId", item.typeId}, {"typeCode", item.typeCode}, {"typeName", item.typeName}};
}

inline void to_json(nlohmann::ordered_json &target, const ReturnItem &item)
{
    target = {{"rtId", item.rtId},         {"rtContent", item.rtContent},   {"userId", item.userId},
              {"userName", item.userName}, {"userAvatar", item.userAvatar}, {"rtDate", item.rtDate}};
}

inline void to_json(nlohmann::ordered_json &target, const StudentItem &item)
{
    target = {
        {"studentId", item.studentId},   {"studentName", item.studentName}, {"avatar", item.avatar},
        {"realName", item.realName},     {"address", item.address},         {"urgentPhone", item.urgentPhone},
        {"motherName", item.motherName}, {"motherPhone", item.motherPhone}, {"motherWork", item.motherWork},
        {"fatherName", item.fatherName}, {"fatherPhone", item.fatherPhone}, {"fatherWork", item.fatherWork}};
}

inline void to_json(nlohmann::ordered_json &target, const StudentStateItem &item)
{
    target = {{"stateId", item.stateId},
              {"content", item.content},
              {"teacherName", item.teacherName},
              {"stateDate", item.stateDate}};
}

inline void to_json(nlohmann::ordered_json &target, const SubjectItem &item)
{
    target = {{"subjectId", item.subjectId},
              {"subjectName", item.subjectName},
              {"testName", item.testName},
              {"testDate", item.testDate},
              {"avgScore", item.avgScore}};
}

inline void to_json(nlohmann::ordered_json &target, const TeacherItem &item)
{
    target = {{"teacherId", item.teacherId},
              {"teacherName", item.teacherName},
              {"avatar", item.avatar},
              {"subject", item.subject}};
}

inline void to_json(nlohmann::ordered_json &target, const TestScoreItem &item)
{
    target = {{"studentName", item.studentName},
              {"score", item.score},
              {"avgScore", item.avgScore},
              {"subjectName", item.subjectName},
              {"testDate", item.testDate}};
}

// Response records: whether the call was answered, code and error, then the payload.

inline void to_json(nlohmann::ordered_json &target, const HsServiceResponse &response)
{
    target = {{"answered", response.answered}, {"code", response.code}, {"error", response.error}};
}

inline nlohmann::ordered_json hsResponseJson(const HsServiceResponse &response)
{
    return response;
}

inline void to_json(nlohmann::ordered_json &target, const HomeWorkServiceResponse &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
}

template <typename Item> void to_json(nlohmann::ordered_json &target, const TestScoreServiceResponse<Item> &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
}

inline void to_json(nlohmann::ordered_json &target, const StudentStateServiceResponse &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
}

inline void to_json(nlohmann::ordered_json &target, const ChatServiceResponse &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
}

template <typename Item> void to_json(nlohmann::ordered_json &target, const NewsServiceResponse<Item> &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
    target["item"] = response.item;
}

template <typename Item> void to_json(nlohmann::ordered_json &target, const ResourceServiceResponse<Item> &response)
{
    target = hsResponseJson(response);
    target["items"] = response.items;
    target["item"] = response.item;
}

inline void to_json(nlohmann::ordered_json &target, const LoginServiceResponse &response)
{
    target = hsResponseJson(response);
    target["item"] = response.item;
}

inline void to_json(nlohmann::ordered_json &target, const UploadAvatarResponse &response)
{
    target = hsResponseJson(response);
    target["image"] = response.image;
}

inline void to_json(nlohmann::ordered_json &target, const StudentInfoResponse &response)
{
    target = hsResponseJson(response);
    target["students"] = response.students;
    target["teachers"] = response.teachers;
}
