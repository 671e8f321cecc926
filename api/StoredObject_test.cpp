#include "api/StoredObject.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <string>
#include <vector>

#include "api/StoredObjectXmlWriter.h"

namespace {

constexpr unsigned char kNameBytes[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};
const WWNAddress kName(kNameBytes);

// An element that counts its deletions.
class CountedElement : public StoredElement {
public:
    explicit CountedElement(int& deletions) : deletions_(deletions) {}
    ~CountedElement() override { ++deletions_; }

private:
    int& deletions_;
};

class OtherElement : public StoredElement {};

std::vector<std::string> walkRelations(const StoredObject& object, const std::string& name) {
    std::vector<std::string> walked;
    std::string oid;
    while (object.getNextRelation(name, oid)) {
        walked.push_back(oid);
    }
    return walked;
}

std::vector<std::string> walkList(const StoredObject& object, const std::string& name) {
    std::vector<std::string> walked;
    StoredObject::ListPosition position;
    std::string text;
    if (object.beginList(name, position)) {
        while (object.nextListValue(name, position, text)) {
            walked.push_back(text);
        }
    }
    return walked;
}

AttributeKind kindOf(const StoredObject& object, const std::string& wanted) {
    AttributeKind kind{};
    object.forEachAttribute([&](const std::string& name, const AttributeValue& value) {
        if (name == wanted) {
            kind = value.kind();
        }
    });
    return kind;
}

// Writers rely on name order; each name stands once however often it is set.
TEST(StoredObject, NamesAreVisitedOnceInNameOrder) {
    StoredObject object;
    for (const char* name : {"ZoneName", "OID", "b", "ObjType", "a", "OID", "Z"}) {
        object.setStringAttr(name, name);
        object.addRelation(std::string("set") + name, "x");
        object.appendListValue(std::string("list") + name, "y");
    }
    object.setShortAttr("b", 7); // a name may change kind in place
    const std::vector<std::string> expected = {"OID", "ObjType", "Z", "ZoneName", "a", "b"};
    std::vector<std::string> attributes;
    object.forEachAttribute(
        [&](const std::string& name, const AttributeValue&) { attributes.push_back(name); });
    EXPECT_EQ(attributes, expected);
    std::vector<std::string> sets;
    object.forEachRelationSet(
        [&](const std::string& name, const StoredObject::RelationSet&) { sets.push_back(name); });
    ASSERT_EQ(sets.size(), expected.size());
    EXPECT_TRUE(std::is_sorted(sets.begin(), sets.end()));
    std::vector<std::string> lists;
    object.forEachList(
        [&](const std::string& name, const StoredObject::StringList&) { lists.push_back(name); });
    ASSERT_EQ(lists.size(), expected.size());
    EXPECT_EQ(walkList(object, "listOID"), (std::vector<std::string>{"y", "y"}));
    unsigned short value = 0;
    EXPECT_TRUE(object.getShortAttr("b", value));
    EXPECT_EQ(value, 7);
    std::string text;
    EXPECT_FALSE(object.getStringAttr("c", text));
    EXPECT_FALSE(object.getStringAttr("", text));
}

TEST(StoredObject, TextIsCleanedOnEntry) {
    struct Case {
        const char* given;
        const char* kept;
    } cases[] = {
        {"  a\tb  c\x01 ", "a b  c"},
        {"\t\tx\t", "x"},
        {"caf\xc3\xa9\x7f", "caf\x7f"}, // top-bit bytes dropped; DEL is not below a blank
        {" \r\n ", ""},
    };
    StoredObject object;
    for (const Case& c : cases) {
        object.setStringAttr("Name", c.given);
        std::string kept;
        ASSERT_TRUE(object.getStringAttr("Name", kept));
        EXPECT_EQ(kept, c.kept) << c.given;
    }
}

TEST(StoredObject, GettersLeaveTheValueAloneForAMissingName) {
    StoredObject object;
    std::string text = "keep";
    unsigned short shortValue = 7;
    int intValue = 8;
    void* handle = &intValue;
    std::vector<unsigned char> bytes{1};
    EXPECT_FALSE(object.getStringAttr("Missing", text));
    EXPECT_FALSE(object.getShortAttr("Missing", shortValue));
    EXPECT_FALSE(object.getBoolAttr("Missing", shortValue));
    EXPECT_FALSE(object.getIntAttr("Missing", intValue));
    EXPECT_FALSE(object.getHandleAttr("Missing", handle));
    EXPECT_FALSE(object.getBytesAttr("Missing", bytes));
    EXPECT_FALSE(object.getWwnAttr("Missing").has_value());
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(shortValue, 7);
    EXPECT_EQ(intValue, 8);
    EXPECT_EQ(handle, &intValue);
    EXPECT_EQ(bytes, std::vector<unsigned char>{1});
}

TEST(StoredObject, EachKindReadsBackAndALaterSetterChangesTheKind) {
    StoredObject object;
    object.setShortAttr("Value", 0xBEEF);
    EXPECT_EQ(kindOf(object, "Value"), AttributeKind::Short);
    object.setStringAttr("Value", "text");
    EXPECT_EQ(kindOf(object, "Value"), AttributeKind::Text);

    object.setIntAttr("Count", -5);
    int count = 0;
    ASSERT_TRUE(object.getIntAttr("Count", count));
    EXPECT_EQ(count, -5);

    object.setWwnAttr("WWN", kName);
    ASSERT_TRUE(object.getWwnAttr("WWN").has_value());
    EXPECT_EQ(*object.getWwnAttr("WWN"), kName);
    EXPECT_EQ(kindOf(object, "WWN"), AttributeKind::Int64);

    int handleTarget = 0;
    object.setHandleAttr("HDL", &handleTarget); // a full pointer, not 32 bits of it
    void* handle = nullptr;
    ASSERT_TRUE(object.getHandleAttr("HDL", handle));
    EXPECT_EQ(handle, &handleTarget);

    unsigned short flag = 0;
    object.setShortAttr("Flag", 1);
    ASSERT_TRUE(object.getBoolAttr("Flag", flag));
    EXPECT_EQ(flag, 1);
}

TEST(StoredObject, NumbersReadInTheGettersOwnWidth) {
    StoredObject object;
    object.setIntAttr("Value", 0x12345678);
    unsigned short low = 0;
    ASSERT_TRUE(object.getShortAttr("Value", low));
    EXPECT_EQ(low, 0x5678);

    object.setInt64Attr("Counter", 0x11223344u, 0x55667788u);
    int lowHalf = 0;
    ASSERT_TRUE(object.getIntAttr("Counter", lowHalf));
    EXPECT_EQ(static_cast<unsigned>(lowHalf), 0x11223344u);

    object.setStringAttr("Text", "12");
    int fromText = 9;
    ASSERT_TRUE(object.getIntAttr("Text", fromText));
    EXPECT_EQ(fromText, 0);
}

TEST(StoredObject, ByteStringsAreBoundedAndCopied) {
    StoredObject object;
    std::vector<unsigned char> full(AttributeValue::MaxBytes, 0xAB);
    ASSERT_TRUE(object.setBytesAttr("Serial", full.data(), static_cast<int>(full.size())));

    std::vector<unsigned char> tooLong(AttributeValue::MaxBytes + 1, 0xCD);
    EXPECT_FALSE(object.setBytesAttr("Serial", tooLong.data(), static_cast<int>(tooLong.size())));
    EXPECT_FALSE(object.setBytesAttr("Serial", full.data(), -1));
    EXPECT_FALSE(object.setBytesAttr("Serial", nullptr, 4));
    std::vector<unsigned char> read;
    ASSERT_TRUE(object.getBytesAttr("Serial", read));
    EXPECT_EQ(read, full) << "a refused value leaves the old one";

    EXPECT_FALSE(object.setBytesAttr("Fresh", tooLong.data(), static_cast<int>(tooLong.size())));
    EXPECT_FALSE(object.getBytesAttr("Fresh", read)) << "a refused value makes no attribute";

    ASSERT_TRUE(object.setBytesAttr("Empty", nullptr, 0));
    ASSERT_TRUE(object.getBytesAttr("Empty", read));
    EXPECT_TRUE(read.empty());
}

TEST(StoredObject, RelationSetsHoldEachIdentifierOnceInByteOrder) {
    StoredObject object;
    object.addRelation("setPorts", "0001b");
    object.addRelation("setPorts", "0001a");
    object.addRelation("setPorts", "0001B"); // upper case sorts first
    object.addRelation("setPorts", "0001a");
    EXPECT_EQ(object.getRelationCount("setPorts"), 3u);
    EXPECT_EQ(walkRelations(object, "setPorts"),
              (std::vector<std::string>{"0001B", "0001a", "0001b"}));

    std::string oid = "0001b";
    EXPECT_FALSE(object.getNextRelation("setPorts", oid));
    EXPECT_EQ(oid, "0001b") << "unchanged at the end";
    oid = "";
    EXPECT_FALSE(object.getNextRelation("setMissing", oid));
    EXPECT_FALSE(object.getFirstRelation("setMissing", oid));
    EXPECT_EQ(oid, "");
    ASSERT_TRUE(object.getFirstRelation("setPorts", oid));
    EXPECT_EQ(oid, "0001B");

    EXPECT_TRUE(object.hasRelation("setPorts", "0001a"));
    EXPECT_FALSE(object.hasRelation("setPorts", "0001"));
    object.removeRelation("setPorts", "0001a");
    object.removeRelation("setMissing", "0001a"); // nothing to remove from
    EXPECT_EQ(walkRelations(object, "setPorts"), (std::vector<std::string>{"0001B", "0001b"}));

    std::vector<std::string> copy;
    EXPECT_FALSE(object.getRelations("setMissing", copy));
    ASSERT_TRUE(object.getRelations("setPorts", copy));
    EXPECT_EQ(copy, (std::vector<std::string>{"0001B", "0001b"}));

    object.clearSet("setPorts");
    EXPECT_TRUE(object.hasRelationSet("setPorts")) << "an emptied set is still there";
    EXPECT_EQ(object.getRelationCount("setPorts"), 0u);
    EXPECT_FALSE(object.hasRelationSet("setMissing"));
    EXPECT_EQ(object.getRelationCount("setMissing"), 0u);
}

TEST(StoredObject, RelatedObjectsAreNamedByTheirOid) {
    StoredObject parent;
    StoredObject child;
    StoredObject unnamed;
    parent.setStringAttr("OID", "00090000000000000001");
    child.addRelatedObject("setParent", &parent);
    child.addRelatedObject("setParent", &unnamed); // no OID: nothing added
    child.addRelatedObject("setParent", nullptr);
    EXPECT_EQ(walkRelations(child, "setParent"),
              (std::vector<std::string>{"00090000000000000001"}));
    child.removeRelatedObject("setParent", &parent);
    EXPECT_EQ(child.getRelationCount("setParent"), 0u);
}

TEST(StoredObject, StringListsKeepInsertionOrderAndRepeats) {
    StoredObject object;
    object.appendListValue("setMember", "zeta");
    object.appendListValue("setMember", "alpha");
    object.appendListValue("setMember", "zeta");
    EXPECT_EQ(walkList(object, "setMember"), (std::vector<std::string>{"zeta", "alpha", "zeta"}));
    object.removeListValue("setMember", "zeta"); // the first one only
    EXPECT_EQ(walkList(object, "setMember"), (std::vector<std::string>{"alpha", "zeta"}));

    EXPECT_TRUE(object.listContains("setMember", "alpha"));
    EXPECT_FALSE(object.listContains("setMember", ""));
    EXPECT_FALSE(object.listContains("setMissing", "alpha"));

    StoredObject::ListPosition position = 5;
    EXPECT_FALSE(object.beginList("setMissing", position));

    StoredObject other;
    other.setStringAttr("OID", "00160000000000000001");
    object.appendListObject("setMember", &other);
    EXPECT_TRUE(object.listContains("setMember", "00160000000000000001"));
    object.removeListObject("setMember", &other);
    EXPECT_FALSE(object.listContains("setMember", "00160000000000000001"));

    object.clearList("setMember");
    ASSERT_TRUE(object.beginList("setMember", position)) << "an emptied list is still there";
    std::string text;
    EXPECT_FALSE(object.nextListValue("setMember", position, text));
}

TEST(StoredObject, AListWalkSurvivesEditsBetweenItsSteps) {
    StoredObject object;
    for (const char* text : {"a", "b", "c"}) {
        object.appendListValue("setZone", text);
    }
    StoredObject::ListPosition position;
    ASSERT_TRUE(object.beginList("setZone", position));
    std::string text;
    ASSERT_TRUE(object.nextListValue("setZone", position, text));
    ASSERT_TRUE(object.nextListValue("setZone", position, text));
    object.clearList("setZone");
    EXPECT_FALSE(object.nextListValue("setZone", position, text));
    EXPECT_EQ(text, "b");
}

TEST(StoredObject, HasWwnLooksAtTheNamePartOfTheOid) {
    struct Case {
        const char* oid;
        bool hasWwn;
    } cases[] = {
        {"00041000006069123456", true},
        {"00040000000000000000", false},
        {"000400000000000000001234", false}, // the index part does not count
        {"0004100000606912345", false},      // 19 characters
        {"", false},
    };
    for (const Case& c : cases) {
        StoredObject object;
        object.setStringAttr("OID", c.oid);
        EXPECT_EQ(object.hasWwn(), c.hasWwn) << c.oid;
    }
    EXPECT_FALSE(StoredObject().hasWwn()) << "no OID";
}

TEST(StoredObject, TheObjectOwnsItsElement) {
    int deletions = 0;
    {
        StoredObject object;
        EXPECT_EQ(object.getElement(), nullptr);
        auto* first = new CountedElement(deletions);
        object.setElement(first);
        EXPECT_EQ(object.getElement<CountedElement>(), first);
        EXPECT_EQ(object.getElement<OtherElement>(), nullptr) << "another class";
        object.setElement(first); // the same element again: kept
        EXPECT_EQ(deletions, 0);
        object.setElement(new CountedElement(deletions));
        EXPECT_EQ(deletions, 1) << "the replaced element is deleted";
    }
    EXPECT_EQ(deletions, 2) << "the last element goes with the object";
}

TEST(StoredObject, NothingChangesOnceContentsAreDestroyed) {
    int deletions = 0;
    StoredObject object;
    object.setIntAttr("Count", 1);
    object.addRelation("setParent", "0009");
    object.appendListValue("setMember", "m");
    object.setElement(new CountedElement(deletions));

    object.destroyContents();
    EXPECT_TRUE(object.isBeingDestroyed());
    EXPECT_EQ(deletions, 1);

    object.setIntAttr("Count", 2);
    object.setStringAttr("Name", "x");
    object.addRelation("setParent", "0009");
    object.appendListValue("setMember", "m");
    object.setElement(new CountedElement(deletions));
    EXPECT_EQ(deletions, 2) << "an element given to a destroyed object is deleted at once";

    int count = 0;
    EXPECT_FALSE(object.getIntAttr("Count", count));
    EXPECT_FALSE(object.hasRelationSet("setParent"));
    EXPECT_FALSE(object.listContains("setMember", "m"));
    EXPECT_EQ(object.getElement(), nullptr);
}

// A writer that notes each object it is given.
class NotingWriter : public StoredObjectXmlWriter {
public:
    void write(const StoredObject& object, std::string& out, int encoding) override {
        std::string oid;
        object.getStringAttr("OID", oid);
        out += oid + "/" + std::to_string(encoding) + ";";
    }
};

TEST(StoredObject, WriteXmlUsesTheInstalledWriterAndSkipsAFailedFetchOnce) {
    StoredObject object;
    object.setStringAttr("OID", "0002");
    std::string out;
    object.writeXml(out, 0);
    EXPECT_EQ(out, "") << "no writer installed: nothing written";

    NotingWriter writer;
    setStoredObjectXmlWriter(&writer);
    object.writeXml(out, 1);
    EXPECT_EQ(out, "0002/1;");
    object.setFetchFailed();
    object.writeXml(out, 1);
    EXPECT_EQ(out, "0002/1;") << "skipped once";
    object.writeXml(out, 0);
    EXPECT_EQ(out, "0002/1;0002/0;");
    setStoredObjectXmlWriter(nullptr);
}

// A writer that also has a tree form.
class TreeNotingWriter : public NotingWriter {
public:
    void writeTree(const StoredObject&, std::string& out, int encoding) override {
        out += "tree/" + std::to_string(encoding) + ";";
    }
};

TEST(StoredObject, WriteXmlTreeUsesTheTreeFormOrElseTheFlatOneAndSkipsOnceToo) {
    StoredObject object;
    object.setStringAttr("OID", "0002");
    std::string out;
    object.writeXmlTree(out, 0);
    EXPECT_EQ(out, "") << "no writer installed";

    NotingWriter flatOnly;
    setStoredObjectXmlWriter(&flatOnly);
    object.writeXmlTree(out, 1);
    EXPECT_EQ(out, "0002/1;") << "a writer without a tree form writes flat";

    TreeNotingWriter tree;
    setStoredObjectXmlWriter(&tree);
    object.setFetchFailed();
    object.writeXmlTree(out, 1);
    object.writeXmlTree(out, 0);
    EXPECT_EQ(out, "0002/1;tree/0;");
    setStoredObjectXmlWriter(nullptr);
}

} // namespace
