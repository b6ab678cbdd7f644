#include "engine/ParseCommand.h"

#include "support/ListDump.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

TEST(ParseCommand, LineBreakFromCrCl)
{
    EXPECT_EQ(LineBreakFromCrCl("\\r\\n"), "\r\n");
    EXPECT_EQ(LineBreakFromCrCl("\\n"), "\n");
    EXPECT_EQ(LineBreakFromCrCl("\\r"), "\\r");
    EXPECT_EQ(LineBreakFromCrCl(";"), ";");
    EXPECT_EQ(LineBreakFromCrCl(""), "");
}

TEST(ParseCommand, DefaultsAreTheWindowsDefaults)
{
    const CParseSettings settings = DefaultParseSettings();
    EXPECT_EQ(settings.strStartTag, "<$$");
    EXPECT_EQ(settings.strEndTag, "$$>");
    EXPECT_EQ(settings.strAllowedChars, "0-9-a-z-A-Z-@-.-:-/-_");
    EXPECT_EQ(settings.strCrCl, "\\r\\n");
}

TEST(ParseCommand, StartUpListHasOneWideColumn)
{
    CListCtrl list;
    InitResultList(list);
    ASSERT_EQ(list.GetColumnCount(), 1);
    EXPECT_EQ(list.GetColumnCaptionWhole(0), "Fields After Parsing");
    EXPECT_EQ(list.GetColumnWidth(0), 530);
    EXPECT_EQ(list.GetExtendedStyle(), 0x23u);
}

TEST(ParseCommand, ColumnsAreRebuiltOnlyWhenTheTemplateChanges)
{
    CListCtrl list;
    InitResultList(list);
    CString last;
    const CParseSettings settings = DefaultParseSettings();

    // An empty first template keeps the start-up column.
    RunParse(list, settings, "", "", last);
    EXPECT_EQ(DumpList(list), "Fields After Parsing\n");

    RunParse(list, settings, "<$$a$$> <$$b$$>", "1 2", last);
    EXPECT_EQ(DumpList(list), "a|b\n1|2\n");
    EXPECT_EQ(last, "<$$a$$> <$$b$$>");

    // Same template: the columns stay although the tags change; values are
    // placed by the new names' indexes.
    list.SetColumnWidth(0, 77);
    list.DeleteAllItems();
    CParseSettings other = settings;
    other.strStartTag = "[";
    other.strEndTag = "]";
    RunParse(list, other, "<$$a$$> <$$b$$>", "1 2", last);
    EXPECT_EQ(list.GetColumnWidth(0), 77);
    EXPECT_EQ(DumpList(list), "a|b\n");

    // A template without placeholders leaves no columns.
    list.DeleteAllItems();
    RunParse(list, settings, "plain", "plain", last);
    EXPECT_EQ(list.GetColumnCount(), 0);
}

TEST(ParseCommand, CrClSemicolonCutsTheTemplateForNamesOnly)
{
    CListCtrl list;
    InitResultList(list);
    CString last;
    CParseSettings settings = DefaultParseSettings();
    settings.strCrCl = ";";
    RunParse(list, settings, "<$$a$$>\r\n<$$b$$>", "1\r\n2", last);
    EXPECT_EQ(DumpList(list), "a|b\n1|2\n");
}
