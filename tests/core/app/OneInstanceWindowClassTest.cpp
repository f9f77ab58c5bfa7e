// SPDX-License-Identifier: MIT
// The class name of the hand-off window, by which a second start finds the running instance of the
// same program file (Windows; a plain function, so it runs in both builds of the tests).
#include "core/app/OneInstanceFunc.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace qp {
namespace {

TEST(OneInstanceWindowClass, FitsTheWindowSystemAndFollowsItsCaseRule)
{
    const QString shortPath = u"C:\\Programme\\Quillpress\\quillpress.exe"_qs;
    EXPECT_EQ(instanceWindowClass(shortPath), u"OneInstUtilWnd:"_qs + shortPath);

    // A path that makes the key exactly as long as a class name may be stays readable; one
    // character more gives the hashed name.
    const QString prefix = u"C:\\"_qs;
    const QString tail = u"\\quillpress.exe"_qs;
    const qsizetype room = kMaxWindowClassName - instanceKey(prefix + tail).size();
    const QString fits = prefix + QString(room, u'd') + tail;
    EXPECT_EQ(instanceWindowClass(fits), instanceKey(fits));
    const QString longer = prefix + QString(room + 1, u'd') + tail;
    const QString hashed = instanceWindowClass(longer);
    EXPECT_TRUE(hashed.startsWith(u"OneInstUtilWnd-"_qs)) << hashed.toStdString();
    EXPECT_LE(hashed.size(), kMaxWindowClassName);

    // Long paths: one name for every spelling of a path, as the window system and the file system
    // ignore case; different paths, also "ß" against "SS", keep different names.
    const QString deep = u"C:\\Users\\someone\\"_qs + QString(300, u'x');
    const QString sharpS = deep + u"\\Straße\\quillpress.exe"_qs;
    EXPECT_EQ(instanceWindowClass(sharpS), instanceWindowClass(sharpS.toLower()));
    EXPECT_NE(instanceWindowClass(sharpS), instanceWindowClass(deep + u"\\STRASSE\\quillpress.exe"_qs));
    EXPECT_NE(instanceWindowClass(deep + u"\\a\\quillpress.exe"_qs),
              instanceWindowClass(deep + u"\\b\\quillpress.exe"_qs));
}

} // namespace
} // namespace qp
