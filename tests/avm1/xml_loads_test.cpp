// XML text (status codes, entities, white space), the node tree through
// the Vm (round trips, moving nodes, clones), and loads of text through the
// queue (arriving only when it runs, missing files and URLs with a scheme
// failing through onData).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "swf/avm1/builtins/data_loads.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/builtins/xml_text.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

TEST(XmlTextTest, StatusOfEachKindOfDamage) {
  struct Case {
    const char* text;
    int status;
    size_t topLevel;  // nodes kept at the top, damaged or not
  };
  const Case cases[] = {
      {"<a><b/>text</a>", xml::kOk, 1},
      {"<a><![CDATA[x", xml::kCdataNotTerminated, 1},
      {"<?xml version='1.0'", xml::kDeclarationNotTerminated, 0},
      {"<!DOCTYPE x", xml::kDoctypeNotTerminated, 0},
      {"<a><!-- x", xml::kCommentNotTerminated, 1},
      {"<a b></a>", xml::kMalformedElement, 0},
      {"<a b='x></a>", xml::kAttributeNotTerminated, 0},
      {"<a><b>", xml::kMissingEndTag, 1},
      {"<a></b>", xml::kMissingStartTag, 1},
      {"</a>", xml::kMissingStartTag, 0},
      {"<>", xml::kMalformedElement, 0},
  };
  for (const Case& c : cases) {
    const xml::ParsedDocument document = xml::Parse(c.text, false);
    EXPECT_EQ(document.status, c.status) << c.text;
    EXPECT_EQ(document.children.size(), c.topLevel) << c.text;
  }
}

TEST(XmlTextTest, EntitiesWhiteSpaceAndDeclarations) {
  const xml::ParsedDocument document =
      xml::Parse("<?xml version='1.0'?><!DOCTYPE d><a x='1&amp;2' y=\"&#65;\">  <b>&lt;&#x263A;&bogus;</b> </a>", true);
  ASSERT_EQ(document.status, xml::kOk);
  EXPECT_EQ(document.xmlDecl.value_or(""), "<?xml version='1.0'?>");
  EXPECT_EQ(document.docTypeDecl.value_or(""), "<!DOCTYPE d>");
  ASSERT_EQ(document.children.size(), 1u);
  const xml::ParsedNode& a = document.children[0];
  ASSERT_EQ(a.attributes.size(), 2u);
  EXPECT_EQ(a.attributes[0].second, "1&2");
  EXPECT_EQ(a.attributes[1].second, "A");
  ASSERT_EQ(a.children.size(), 1u);  // the white space around <b> is gone
  EXPECT_EQ(a.children[0].children[0].value, "<\xE2\x98\xBA&bogus;");
  // Without ignoreWhite the spaces are text nodes of their own.
  EXPECT_EQ(xml::Parse("<a>  <b/> </a>", false).children[0].children.size(), 3u);
  EXPECT_EQ(xml::Escape("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&apos;&amp;&apos;&lt;/a&gt;");
}

class XmlObjectsTest : public ::testing::Test {
 protected:
  XmlObjectsTest() {
    BuiltinsHost host;
    host.queueLoad = [this](const Value& target, const std::string& url) { loads_.Add({target, url}); };
    InstallBuiltins(vm_, host);
    vm_.AddRoots(&loads_);
  }
  ~XmlObjectsTest() override { vm_.RemoveRoots(&loads_); }

  Value Global(const char* name) { return vm_.GetMember(Value::Object(vm_.Classes().global), name); }
  Value NewXml(const std::string& text) {
    const Value args[] = {Value::String(text)};
    return vm_.Construct(Global("XML"), args);
  }
  std::string Text(const Value& value) { return vm_.ToStringValue(value); }
  Value Call(const Value& self, const char* name, std::vector<Value> args = {}) {
    return vm_.CallMethod(self, name, args);
  }

  Vm vm_;
  DataLoads loads_;
};

TEST_F(XmlObjectsTest, DocumentsWriteBackAsTheyWereRead) {
  const char* texts[] = {
      "<a x=\"1\" y=\"2\"><b />text &amp; more<c>&lt;&gt;</c></a>",
      "<?xml version=\"1.0\"?><!DOCTYPE d><r />",
      "<p:a xmlns:p=\"urn:p\"><p:b /></p:a>",
  };
  for (const char* text : texts) EXPECT_EQ(Text(NewXml(text)), text);
  const Value document = NewXml("<p:a xmlns:p=\"urn:p\"><p:b /></p:a>");
  const Value b = vm_.GetMember(vm_.GetMember(document, "firstChild"), "firstChild");
  EXPECT_EQ(Text(vm_.GetMember(b, "prefix")), "p");
  EXPECT_EQ(Text(vm_.GetMember(b, "localName")), "b");
  EXPECT_EQ(Text(vm_.GetMember(b, "namespaceURI")), "urn:p");
}

TEST_F(XmlObjectsTest, NodesMoveButNeverIntoThemselves) {
  const Value document = NewXml("<a><b /></a><c />");
  const Value a = vm_.GetMember(document, "firstChild");
  const Value b = vm_.GetMember(a, "firstChild");
  Call(b, "appendChild", {a});  // an ancestor: refused
  EXPECT_EQ(Text(document), "<a><b /></a><c />");
  Call(document, "appendChild", {b});
  EXPECT_EQ(Text(document), "<a /><c /><b />");
  Call(document, "insertBefore", {b, a});
  EXPECT_EQ(Text(document), "<b /><a /><c />");
  Call(a, "removeNode");
  EXPECT_EQ(Text(document), "<b /><c />");
  EXPECT_EQ(vm_.GetMember(a, "parentNode").Is(ValueKind::kNull), true);
  const Value deep = Call(document, "cloneNode", {Value::Boolean(true)});
  const Value shallow = Call(document, "cloneNode", {Value::Boolean(false)});
  EXPECT_EQ(Text(deep), "<b /><c />");
  EXPECT_EQ(Text(shallow), "");
  EXPECT_EQ(vm_.ToNumber(vm_.GetMember(vm_.GetMember(document, "childNodes"), "length")), 2);
}

TEST_F(XmlObjectsTest, LoadsArriveOnlyWhenTheQueueRuns) {
  const std::map<std::string, std::string> files = {
      {"doc.xml", "<r>1</r>"}, {"vars.txt", "a=1&b=two+words%21"}, {"empty.txt", ""}};
  const DataLoads::FileReader read = [&](std::string_view url) -> std::optional<std::vector<std::uint8_t>> {
    const auto found = files.find(std::string(url));
    if (found == files.end()) return std::nullopt;
    return std::vector<std::uint8_t>(found->second.begin(), found->second.end());
  };
  struct Case {
    const char* cls;
    const char* url;
    bool arrives;
  };
  const Case cases[] = {
      {"XML", "doc.xml", true},
      {"XML", "missing.xml", false},
      {"XML", "http://example.invalid/doc.xml", false},
      {"LoadVars", "vars.txt?x=1", true},
      {"LoadVars", "file:vars.txt", false},
      {"LoadVars", "empty.txt", false},
  };
  for (const Case& c : cases) {
    const Value target = vm_.Construct(Global(c.cls), {});
    EXPECT_TRUE(vm_.ToBoolean(Call(target, "load", {Value::String(c.url)}))) << c.url;
    EXPECT_EQ(vm_.ToNumber(Call(target, "getBytesLoaded")), 0) << c.url;
    EXPECT_FALSE(vm_.ToBoolean(vm_.GetMember(target, "loaded"))) << c.url;
    loads_.RunDue(vm_, read);
    EXPECT_EQ(vm_.ToBoolean(vm_.GetMember(target, "loaded")), c.arrives) << c.url;
    if (!c.arrives) continue;
    if (std::string(c.cls) == "XML") {
      EXPECT_EQ(Text(target), "<r>1</r>");
      EXPECT_EQ(vm_.ToNumber(Call(target, "getBytesTotal")), 8);
    } else {
      EXPECT_EQ(Text(vm_.GetMember(target, "b")), "two words!");
      // Newest first; what the object itself set on the way may follow.
      EXPECT_EQ(Text(target).rfind("b=two%20words%21&a=1", 0), 0u) << Text(target);
    }
  }
  EXPECT_EQ(loads_.Count(), 0u);
}

TEST_F(XmlObjectsTest, ExternalInterfaceWithoutAContainer) {
  vm_.SetSwfVersion(8);
  const Value external = vm_.GetMember(vm_.GetMember(Global("flash"), "external"), "ExternalInterface");
  EXPECT_FALSE(vm_.ToBoolean(vm_.GetMember(external, "available")));
  EXPECT_TRUE(Call(external, "call", {Value::String("f")}).Is(ValueKind::kNull));
  const Value array = Value::Object(vm_.NewArray(std::vector<Value>{Value::Boolean(true), Value::String("a<b"), Value()}));
  struct Case {
    const char* method;
    Value arg;
    const char* expected;
  };
  const Case cases[] = {
      {"_escapeXML", Value::String("<'&\">"), "&lt;&apos;&amp;&quot;&gt;"},
      {"_unescapeXML", Value::String("&amp;gt;&Amp;"), "&gt;&Amp;"},
      {"_jsQuoteString", Value::String("\\\""), "\\\\\""},
      {"_toXML", array, "<array><property id=\"0\"><true/></property><property id=\"1\"><string>a&lt;b</string>"
                         "</property><property id=\"2\"><undefined/></property></array>"},
      {"_toXML", Value::String(""), "<string>null</string>"},
      {"_argumentsToXML", array, "<arguments><string>a&lt;b</string><undefined/></arguments>"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(Call(external, c.method, {c.arg})), c.expected) << c.method;
  EXPECT_TRUE(Call(external, "_escapeXML", {Value::String("")}).Is(ValueKind::kNull));
  // Movies before version 8 do not see the package.
  vm_.SetSwfVersion(7);
  EXPECT_TRUE(Global("flash").Is(ValueKind::kUndefined));
}

}  // namespace
}  // namespace swf::avm1
