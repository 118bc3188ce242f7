#include <gtest/gtest.h>

#include "platform/automation/Guid.h"

using automation::Guid;

TEST(Guid, ParsesAndFormatsTheRegistryForm) {
    constexpr Guid kG = Guid::Of("{0596283b-31c0-4d22-aaf6-55d8fd5e2cdf}");
    EXPECT_EQ(kG.ToString(), "{0596283B-31C0-4D22-AAF6-55D8FD5E2CDF}");
    EXPECT_EQ(Guid::Parse("0596283B-31C0-4D22-AAF6-55D8FD5E2CDF"), kG);
    EXPECT_FALSE(Guid::Parse("{0596283B-31C0-4D22-AAF6-55D8FD5E2CD}"));
    EXPECT_FALSE(Guid::Parse("{0596283B-31C0-4D22-AAF6X55D8FD5E2CDF}"));
    EXPECT_FALSE(Guid::Parse("{0596283G-31C0-4D22-AAF6-55D8FD5E2CDF}"));
}

TEST(Guid, StoredBytesAreLittleEndianInTheFirstThreeFields) {
    // The ASF header object as it stands in a file.
    const std::uint8_t bytes[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    EXPECT_EQ(Guid::FromBytes(bytes).ToString(), "{75B22630-668E-11CF-A6D9-00AA0062CE6C}");
}
