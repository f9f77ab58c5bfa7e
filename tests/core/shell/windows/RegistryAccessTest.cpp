// SPDX-License-Identifier: MIT
#include "core/shell/windows/ChosenExtensions.h"
#include "core/shell/windows/InMemoryRegistry.h"
#include "core/shell/windows/RegistryAccess.h"

#include <gtest/gtest.h>

using namespace qp::winshell;

namespace {

TEST(RegistryAccessTest, RelativePathsStartAtTheCurrentKeyAndABackslashAtTheRoot)
{
    InMemoryRegistry registry;
    RegistryAccess reg(registry);
    ASSERT_TRUE(reg.openKey(u"Type", true));
    ASSERT_TRUE(reg.openKey(u"DefaultIcon", true));        // below Type
    reg.writeString(u"icon");
    ASSERT_TRUE(reg.openKey(u"\\Other\\Sub\\", true));     // from the root; the trailing backslash is ignored
    reg.writeString(u"sub");
    EXPECT_EQ(registry.value(u"Type\\DefaultIcon"), u"icon");
    EXPECT_EQ(registry.value(u"Other\\Sub"), u"sub");
    EXPECT_FALSE(registry.exists(u"Type\\DefaultIcon\\Other"));

    // Key names ignore case; a failed open keeps the current key.
    ASSERT_TRUE(reg.openKey(u"\\TYPE\\defaulticon", false));
    EXPECT_FALSE(reg.openKey(u"Missing", false));
    EXPECT_EQ(reg.readString(), u"icon");

    // Deleting follows the same rules and takes the subkeys with it.
    ASSERT_TRUE(reg.openKey(u"\\Other", false));
    EXPECT_TRUE(reg.deleteKey(u"Sub"));
    EXPECT_TRUE(reg.deleteKey(u"\\Type"));
    EXPECT_FALSE(reg.deleteKey(u"\\Type"));
    EXPECT_EQ(registry.dump(), u"Other\n");
}

TEST(RegistryAccessTest, AWriteWithoutAnOpenKeyOrARefusedWriteThrows)
{
    InMemoryRegistry registry;
    registry.set(u"Machine\\Key", u"old");
    registry.protect(u"Machine");
    RegistryAccess reg(registry);
    try {
        reg.writeString(u"x");
        FAIL() << "no exception";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
    // A protected key refuses full access and new subkeys, but can be read and seen to exist.
    EXPECT_FALSE(reg.openKey(u"Machine\\Key", false));
    EXPECT_FALSE(reg.openKey(u"Machine\\New", true));
    EXPECT_TRUE(reg.keyExists(u"Machine\\Key"));
    RegistryAccess reader(registry, {KeyAccess::Read, false});
    ASSERT_TRUE(reader.openKey(u"Machine\\Key", false));
    EXPECT_EQ(reader.readString(), u"old");
    EXPECT_THROW(reader.writeString(u"new"), RegistryError);
    EXPECT_EQ(registry.value(u"Machine\\Key"), u"old");
}

TEST(ChosenExtensionsTest, KeepsUsableExtensionsInOrder)
{
    struct Case {
        std::u16string text;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {u"jpg,bmp,png", {u".jpg", u".bmp", u".png"}},
        {u",jpg,a.b,j pg,.png", {u".jpg", u".png"}},
        {u" \tjpg \r\n, .tar.gz ,.", {u".jpg", u".tar.gz"}},
        {u"x*y,.a|b,c:d,e?,\"f\",g<,h>,i/j,k\\l,,", {}},
        {u"", {}},
        {u"Ü", {u".Ü"}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(parseChosenExtensions(cases[i].text), cases[i].expected) << "case " << i;
}

} // namespace
