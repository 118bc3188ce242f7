#include <gtest/gtest.h>

#include "platform/automation/Variant.h"

using automation::Variant;
using automation::VarType;
namespace errors = automation::errors;

TEST(Variant, NumericStringsCoerceToNumbers) {
    std::int32_t i = 0;
    EXPECT_TRUE(Variant(u" 42 ").toInt32(i).ok());
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(Variant(u"&HFF").toInt32(i).ok());
    EXPECT_EQ(i, 255);
    EXPECT_TRUE(Variant(u"-1.5e1").toInt32(i).ok());
    EXPECT_EQ(i, -15);
    EXPECT_EQ(Variant(u"abc").toInt32(i).number, errors::TypeMismatch);
    EXPECT_EQ(Variant(u"").toInt32(i).number, errors::TypeMismatch);
    EXPECT_TRUE(Variant(u"2").isNumeric());
    EXPECT_FALSE(Variant(u"2x").isNumeric());
    EXPECT_FALSE(Variant().isNumeric());
}

TEST(Variant, IntegerConversionRoundsHalfToEvenAndChecksRange) {
    std::int32_t i = 0;
    std::int16_t s = 0;
    EXPECT_TRUE(Variant(2.5).toInt32(i).ok());
    EXPECT_EQ(i, 2);
    EXPECT_TRUE(Variant(3.5).toInt32(i).ok());
    EXPECT_EQ(i, 4);
    EXPECT_EQ(Variant(std::int32_t(40000)).toInt16(s).number, errors::Overflow);
    EXPECT_EQ(Variant(1e12).toInt32(i).number, errors::Overflow);
    EXPECT_TRUE(Variant::fromBool(true).toInt32(i).ok());
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(Variant().toInt32(i).ok());
    EXPECT_EQ(i, 0);
    EXPECT_EQ(Variant::missing().toInt32(i).number, errors::TypeMismatch);
}

TEST(Variant, BooleansAndTexts) {
    bool b = false;
    EXPECT_TRUE(Variant(u"True").toBool(b).ok());
    EXPECT_TRUE(b);
    EXPECT_TRUE(Variant(std::int32_t(0)).toBool(b).ok());
    EXPECT_FALSE(b);
    EXPECT_TRUE(Variant(u"-1").toBool(b).ok());
    EXPECT_TRUE(b);
    EXPECT_EQ(Variant::fromBool(true).stringOr(), u"True");
    EXPECT_EQ(Variant(std::int32_t(-7)).stringOr(), u"-7");
    EXPECT_EQ(Variant(1.5).stringOr(), u"1.5");
    EXPECT_EQ(Variant(0.1f).stringOr(), u"0.1");
}

TEST(Variant, OrdinaryEquality) {
    EXPECT_TRUE(Variant(std::int16_t(2)) == Variant(2.0));
    EXPECT_TRUE(Variant() == Variant(u""));
    EXPECT_TRUE(Variant() == Variant(std::int32_t(0)));
    EXPECT_TRUE(Variant(u"Key") == Variant(u"Key"));
    EXPECT_FALSE(Variant(u"key") == Variant(u"Key"));         // binary comparison
    EXPECT_FALSE(Variant(std::int32_t(2)) == Variant(u"2"));  // a number never equals a string
    EXPECT_TRUE(Variant::fromBool(true) == Variant(std::int32_t(-1)));
}

TEST(Variant, ByReferenceReadsAndWritesTheTarget) {
    Variant target(std::int32_t(5));
    Variant ref = Variant::byRef(target);
    EXPECT_TRUE(ref.isByRef());
    EXPECT_EQ(ref.type(), VarType::Int32);
    EXPECT_EQ(ref.int32Or(), 5);
    ref.assign(Variant(u"changed"));
    EXPECT_EQ(target.stringOr(), u"changed");
    Variant copyOfRef = ref;  // copies stay references to the same target
    copyOfRef.assign(Variant(std::int16_t(3)));
    EXPECT_EQ(target.type(), VarType::Int16);
    // A reference to a reference names the innermost value.
    Variant outer = Variant::byRef(ref);
    outer.assign(Variant(1.0));
    EXPECT_EQ(target.type(), VarType::Double);
}
