#pragma once

#include "Database.h"

#include <string>

// Replaces everything in the database with the demo school: two classes with their teachers,
// students and parent accounts, notice and news categories with headlines, resource
// categories with resources and pictures, and homework, tests, state reports and chat for
// each class. Run inside a write transaction: a crash leaves the old content or the whole new school.
void seedDemoSchool(Connection &db);

// The demo accounts' passwords.
inline constexpr const char *kDemoTeacherPassword = "teacher123";
inline constexpr const char *kDemoParentPassword = "parent123";

// The demo parent account of a student: "jz" then the class and the student's number in it,
// so "jz1001" is the first student of class 1.
std::string parentAccount(int classId, int number);
