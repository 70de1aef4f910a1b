#include "protocol/DongleResult.h"

#include <gtest/gtest.h>

TEST(DongleResult, DefaultIsOkInTheErrorDomain)
{
    DongleResult r;
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.text, "Ok");
    EXPECT_EQ(r.domain, "hu.orvixtool.dongle.errorDomain");
    EXPECT_EQ(r.domain, DongleResult::ErrorDomain);
    EXPECT_TRUE(r.detail.isEmpty());
}

TEST(DongleResult, CodeTable)
{
    const std::pair<int, const char*> table[] = {
        { 0, "Ok" },
        { 1, "Checksum mismatch" },
        { 2, "Invalid response" },
        { 3, "Command queue is empty" },
        { 4, "Operation timed out" },
        { 5, "Query channel map failed" },
        { 6, "No headset connected" },
        { 7, "Headset is active" },
        { 8, "Invalid command" },
        { 9, "Invalid revision" },
        { 10, "Exception" },
        { 11, "Invalid dongle state" },
        { 12, "Dongle is not in service mode" },
        { 13, "Refused by the device" },
        { 14, "Dongle removed" },
        { 15, "No dongle connected" },
        { 255, "Not implemented" },
        { 16, "Unknwon error" },
        { 254, "Unknwon error" },
        { -1, "Unknwon error" },
        { 256, "Unknwon error" },
    };
    for (const auto& row : table) {
        DongleResult r;
        r.code = row.first;
        r.domain = DongleResult::ErrorDomain;
        r.finalizeErrorTexts();
        EXPECT_EQ(r.text, QString::fromLatin1(row.second)) << row.first;
        EXPECT_EQ(DongleResult(row.first).text, QString::fromLatin1(row.second)) << row.first;
    }
}

TEST(DongleResult, StringFormWithAndWithoutDetail)
{
    DongleResult r(16);
    EXPECT_EQ(r.toStringHelper(), "hu.orvixtool.dongle.errorDomain:16 \"Unknwon error\" ()");
    EXPECT_TRUE(r.toStringHelper().endsWith("()"));

    DongleResult d(11, "Headset not available while controlling LINK/Chair");
    EXPECT_EQ(d.toStringHelper(),
        "hu.orvixtool.dongle.errorDomain:11 \"Invalid dongle state\" "
        "(Headset not available while controlling LINK/Chair)");

    // Placeholders inside the texts are not expanded again.
    DongleResult p(2, "%1 %2");
    EXPECT_EQ(p.toStringHelper(), "hu.orvixtool.dongle.errorDomain:2 \"Invalid response\" (%1 %2)");
}
