// What the diagnostic log shows of a person's details.

#include "ServiceTestSupport.h"
#include "services/LoginService.h"

#include <algorithm>
#include <string>

namespace {

// A parent's sign-in answer carries the family's names, phone numbers, address and work places:
// the result line keeps its shape and every other field, with those texts masked; the response
// itself keeps them as sent.
TEST_F(ServiceTest, ResultLineMasksPersonalFields)
{
    const std::string family = "<RealName>王小明</RealName><Address>文三路88号</Address>"
                               "<UrgentPhone>13905711200</UrgentPhone><MotherName>李娟</MotherName>"
                               "<MotherPhone>13905711237</MotherPhone><MotherWork>医院</MotherWork>"
                               "<FatherName>王刚</FatherName><FatherPhone>13805713400</FatherPhone>"
                               "<FatherWork>工厂</FatherWork>";
    server.answerWithDocument("<Result><Code>0</Code><Error></Error><StudentId>13</StudentId>"
                              "<StudentName>wang</StudentName>" +
                              family + "<Address/><ClassName>三年级二班</ClassName></Result>");
    const auto login = LoginService().LoginStudent("wang", "pw");
    ASSERT_TRUE(login.item);
    EXPECT_EQ(login.item->motherPhone, "13905711237");
    EXPECT_EQ(login.item->fatherName, "王刚");
    EXPECT_TRUE(logged("post return result: <Result><Code>0</Code><Error></Error><StudentId>13</StudentId>"
                       "<StudentName>wang</StudentName><RealName>******</RealName>"
                       "<Address>******</Address><UrgentPhone>******</UrgentPhone>"
                       "<MotherName>******</MotherName><MotherPhone>******</MotherPhone>"
                       "<MotherWork>******</MotherWork><FatherName>******</FatherName>"
                       "<FatherPhone>******</FatherPhone><FatherWork>******</FatherWork>"
                       "<Address/><ClassName>三年级二班</ClassName></Result>"));
}

} // namespace
