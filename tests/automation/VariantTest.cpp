#include <gtest/gtest.h>

#include "platform/automation/Variant.h"

using automation::Variant;
using automation::VarType;
namespace errors = automation::errors;

TEST(Variant, NumericStringsCoerceToNumbers) {
    std::int32_t i = 0;
    EXPECT_TRUE(Variant(u" 42 ").ToInt32(i).Ok());
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(Variant(u"&HFF").ToInt32(i).Ok());
    EXPECT_EQ(i, 255);
    EXPECT_TRUE(Variant(u"-1.5e1").ToInt32(i).Ok());
    EXPECT_EQ(i, -15);
    EXPECT_EQ(Variant(u"abc").ToInt32(i).number, errors::kTypeMismatch);
    EXPECT_EQ(Variant(u"").ToInt32(i).number, errors::kTypeMismatch);
    EXPECT_TRUE(Variant(u"2").IsNumeric());
    EXPECT_FALSE(Variant(u"2x").IsNumeric());
    EXPECT_FALSE(Variant().IsNumeric());
}

TEST(Variant, IntegerConversionRoundsHalfToEvenAndChecksRange) {
    std::int32_t i = 0;
    std::int16_t s = 0;
    EXPECT_TRUE(Variant(2.5).ToInt32(i).Ok());
    EXPECT_EQ(i, 2);
    EXPECT_TRUE(Variant(3.5).ToInt32(i).Ok());
    EXPECT_EQ(i, 4);
    EXPECT_EQ(Variant(std::int32_t(40000)).ToInt16(s).number, errors::kOverflow);
    EXPECT_EQ(Variant(1e12).ToInt32(i).number, errors::kOverflow);
    EXPECT_TRUE(Variant::FromBool(true).ToInt32(i).Ok());
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(Variant().ToInt32(i).Ok());
    EXPECT_EQ(i, 0);
    EXPECT_EQ(Variant::Missing().ToInt32(i).number, errors::kTypeMismatch);
}

TEST(Variant, BooleansAndTexts) {
    bool b = false;
    EXPECT_TRUE(Variant(u"True").ToBool(b).Ok());
    EXPECT_TRUE(b);
    EXPECT_TRUE(Variant(std::int32_t(0)).ToBool(b).Ok());
    EXPECT_FALSE(b);
    EXPECT_TRUE(Variant(u"-1").ToBool(b).Ok());
    EXPECT_TRUE(b);
    EXPECT_EQ(Variant::FromBool(true).StringOr(), u"True");
    EXPECT_EQ(Variant(std::int32_t(-7)).StringOr(), u"-7");
    EXPECT_EQ(Variant(1.5).StringOr(), u"1.5");
    EXPECT_EQ(Variant(0.1f).StringOr(), u"0.1");
}

TEST(Variant, OrdinaryEquality) {
    EXPECT_TRUE(Variant(std::int16_t(2)) == Variant(2.0));
    EXPECT_TRUE(Variant() == Variant(u""));
    EXPECT_TRUE(Variant() == Variant(std::int32_t(0)));
    EXPECT_TRUE(Variant(u"Key") == Variant(u"Key"));
    EXPECT_FALSE(Variant(u"key") == Variant(u"Key"));         // binary comparison
    EXPECT_FALSE(Variant(std::int32_t(2)) == Variant(u"2"));  // a number never equals a string
    EXPECT_TRUE(Variant::FromBool(true) == Variant(std::int32_t(-1)));
}

TEST(Variant, ByReferenceReadsAndWritesTheTarget) {
    Variant target(std::int32_t(5));
    Variant ref = Variant::ByRef(target);
    EXPECT_TRUE(ref.IsByRef());
    EXPECT_EQ(ref.Type(), VarType::Int32);
    EXPECT_EQ(ref.Int32Or(), 5);
    ref.Assign(Variant(u"changed"));
    EXPECT_EQ(target.StringOr(), u"changed");
    Variant copyOfRef = ref;  // copies stay references to the same target
    copyOfRef.Assign(Variant(std::int16_t(3)));
    EXPECT_EQ(target.Type(), VarType::Int16);
    // A reference to a reference names the innermost value.
    Variant outer = Variant::ByRef(ref);
    outer.Assign(Variant(1.0));
    EXPECT_EQ(target.Type(), VarType::Double);
}
