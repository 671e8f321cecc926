#include <gtest/gtest.h>

#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningNameList.h"

namespace {

int codeOf(const ZoningNamesReply* reply) {
    try {
        OwnedNameList list(processResponse(reply));
    } catch (const UDAL_ZoningException& e) {
        return e.getCode();
    }
    return 0;
}

TEST(ProcessResponse, KeepsEachNameOnceInOrderOfFirstAppearance) {
    char a[] = "a", b[] = "b", a2[] = "a";
    char* names[] = {a, b, a2};
    ZoningNamesReply reply{};
    reply.names.names_len = 3;
    reply.names.names_val = names;
    OwnedNameList list(processResponse(&reply));
    ASSERT_EQ(list->size(), 2u);
    EXPECT_STREQ(list->front(), "a");
    EXPECT_STREQ(list->back(), "b");
    EXPECT_NE(list->front(), a); // copies
    EXPECT_TRUE(nameListContains("b", list.get()));
    EXPECT_FALSE(nameListContains("B", list.get()));
    EXPECT_FALSE(nameListContains(nullptr, list.get()));
    EXPECT_FALSE(nameListContains("a", nullptr));
}

TEST(ProcessResponse, RefusesNoReplyAndEmptyReplies) {
    ZoningNamesReply empty{};
    EXPECT_EQ(codeOf(nullptr), 7);
    EXPECT_EQ(codeOf(&empty), 9);
}

TEST(ReleaseNameList, AcceptsNullAndClearsThePointer) {
    releaseNameList(nullptr);
    ZoningNameList* none = nullptr;
    releaseNameList(&none);
    auto* list = new ZoningNameList();
    releaseNameList(&list);
    EXPECT_EQ(list, nullptr);
}

} // namespace
