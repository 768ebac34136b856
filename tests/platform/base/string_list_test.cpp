#include "qvplatform/string_list.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qvplatform {
namespace {

std::vector<std::string> Items(const TStringList& list) {
  std::vector<std::string> v;
  for (int i = 0; i < list.Count(); ++i) v.push_back(list[i]);
  return v;
}

TEST(StringList, CommaTextSplitsAtCommasAndBlanksWithQuotes) {
  struct Case {
    std::string text;
    std::vector<std::string> items;
    std::string back;  // the getter's form of the items
  };
  const Case cases[] = {
      {"Arial,Courier New", {"Arial", "Courier", "New"}, "Arial,Courier,New"},
      {"Arial,\"Courier New\"", {"Arial", "Courier New"}, "Arial,\"Courier New\""},
      {"  a , b\t,c  ", {"a", "b", "c"}, "a,b,c"},
      {"a,,b", {"a", "", "b"}, "a,,b"},
      {"a,", {"a", ""}, "a,"},
      {",a", {"", "a"}, ",a"},
      {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}, "\"say \"\"hi\"\"\",x"},
      {"\"a,b\"c", {"a,b", "c"}, "\"a,b\",c"},
      {"\"open", {"open"}, "open"},
      {"\"\"", {""}, "\"\""},
      {"", {}, ""},
      {"name=A B,k=v", {"name=A", "B", "k=v"}, "name=A,B,k=v"},
      {"\"name=A B\",k=v", {"name=A B", "k=v"}, "\"name=A B\",k=v"},
      {std::string("a\0b", 3), {"a"}, "a"},
      {"\xE9t\xE9,\x80", {"\xE9t\xE9", "\x80"}, "\xE9t\xE9,\x80"},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.Add("stale");
    list.SetCommaText(c.text);
    EXPECT_EQ(Items(list), c.items) << c.text;
    EXPECT_EQ(list.CommaText(), c.back) << c.text;
    TStringList again;
    again.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(again), c.items) << "round trip of " << c.text;
  }
}

TEST(StringList, ValuesAndNamesIgnoreAsciiCase) {
  TStringList list;
  list.SetCommaText("Title=Report,author=Ann,plain,=empty,Key=a=b");
  EXPECT_EQ(list.Values("TITLE"), "Report");
  EXPECT_EQ(list.Values("Author"), "Ann");
  EXPECT_EQ(list.Values("key"), "a=b");  // the first "=" separates
  EXPECT_EQ(list.Values("plain"), "");
  EXPECT_EQ(list.Values(""), "empty");
  EXPECT_EQ(list.Names(0), "Title");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(4), "a=b");
  EXPECT_EQ(list.IndexOfName("AUTHOR"), 1);
  EXPECT_EQ(list.IndexOf("PLAIN"), 2);
  // Only ASCII letters fold: "É" and "é" differ.
  list.Add("\xC9t\xC9=1");
  EXPECT_EQ(list.Values("\xE9t\xE9"), "");
  EXPECT_EQ(list.Values("\xC9T\xC9"), "1");

  list.SetValue("author", "Bo");  // replaced in place
  EXPECT_EQ(list[1], "author=Bo");
  list.SetValue("New", "x");
  EXPECT_EQ(list[list.Count() - 1], "New=x");
  list.SetValue("title", "");  // an empty value deletes
  EXPECT_EQ(list.IndexOfName("Title"), -1);
  EXPECT_THROW(list.Strings(99), std::out_of_range);
  EXPECT_THROW(list.Delete(-1), std::out_of_range);
}

TEST(StringList, SortedListsOrderIgnoringCaseAndHandleDuplicates) {
  TStringList list;
  list.SetCommaText("banana,Apple,cherry,apple2");
  list.AddObject("Date", 42);
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"Apple", "apple2", "banana", "cherry", "Date"}));
  EXPECT_EQ(list.Objects(4), 42);   // objects travel with their strings
  EXPECT_EQ(list.Add("APPLE"), 0);  // ignored duplicate: the existing index
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Add("Banana2"), 3);
  int index = -1;
  EXPECT_TRUE(list.Find("CHERRY", index));
  EXPECT_EQ(index, 4);
  EXPECT_FALSE(list.Find("b", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.IndexOf("date"), 5);
  EXPECT_THROW(list.Insert(0, "x"), std::logic_error);
  list.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(list.Add("apple"), std::logic_error);
  list.SetDuplicates(TDuplicates::dupAccept);
  EXPECT_EQ(list.Add("APPLE"), 1);  // after the equal entry
  // A sorted name=value list stays sorted when a value changes.
  TStringList aliases;
  aliases.SetSorted(true);
  aliases.Add("Helv=Arial");
  aliases.Add("Tms Rmn=Times");
  aliases.SetValue("helv", "Z");
  EXPECT_EQ(aliases.Values("HELV"), "Z");
  EXPECT_EQ(aliases.Count(), 2);
}

TEST(StringList, TextLines) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\r\rfive\r\n");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"one", "two", "three", "", "five"}));
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\n\r\nfive\r\n");
}

}  // namespace
}  // namespace qvplatform
