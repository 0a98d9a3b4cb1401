#pragma once

#include <vector>

#include "HsServiceResponse.h"
#include "documents/StudentItem.h"
#include "documents/TeacherItem.h"

struct StudentInfoResponse : HsServiceResponse
{
    std::vector<StudentItem> students;
    std::vector<TeacherItem> teachers;
};
