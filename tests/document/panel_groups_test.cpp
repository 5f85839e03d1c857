// Panel objects that gather others: a "Control Group" stores its members
// relative to its own panel rectangle and keeps them through a store and a
// load; a "Paged Group" keeps its page list and page plugs.
#include <gtest/gtest.h>

#include "document/container.h"
#include "document/document_builder.h"
#include "document/document_file.h"
#include "document/panel_objects.h"
#include "registry/module_info.h"
#include "registry/module_registry.h"

namespace krtest {

using namespace kr;

namespace {

std::unique_ptr<control_ob_base> Image(DocRect at) {
  auto made = MakeDocumentObjectByName("Image");
  auto* ob = dynamic_cast<control_ob_base*>(made.get());
  if (!ob) return nullptr;
  made.release();
  ob->SetRect(kPanelView, at);
  return std::unique_ptr<control_ob_base>(ob);
}

template <class T>
T* FirstChildOf(const CContainer& c) {
  for (const auto& child : c.Children())
    if (auto* t = DynamicKind<T>(child.get())) return t;
  return nullptr;
}

}  // namespace

TEST(ControlGroup, MembersAreStoredRelativeToTheGroupAndComeBack) {
  DocumentBuilder builder;
  auto& group = dynamic_cast<control_group_ob&>(builder.AddModule(builder.Root(), "Control Group"));
  group.AddMember(Image({30, 40, 50, 60}));
  group.AddMember(Image({70, 20, 90, 50}));
  group.Normalise();
  EXPECT_EQ(group.GetRect(kPanelView), (DocRect{30, 20, 90, 60})) << "the union of the members";
  EXPECT_EQ(group.members[0]->GetRect(kPanelView), (DocRect{0, 20, 20, 40}));
  EXPECT_EQ(group.members[1]->GetRect(kPanelView), (DocRect{40, 0, 60, 30}));
  EXPECT_EQ(group.members[0]->Parent(), &builder.Root());

  const auto bytes = WriteDocument(builder.Document());
  DocumentLoadResult loaded = ReadDocument(bytes, LoadMode::Full);
  ASSERT_TRUE(loaded.document && loaded.document->root) << loaded.error;
  auto* back = FirstChildOf<control_group_ob>(*loaded.document->root);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetRect(kPanelView), (DocRect{30, 20, 90, 60}));
  ASSERT_EQ(back->members.size(), 2u);
  EXPECT_EQ(back->members[0]->GetRect(kPanelView), (DocRect{0, 20, 20, 40}));
  EXPECT_EQ(back->members[1]->GetRect(kPanelView), (DocRect{40, 0, 60, 30}));
  EXPECT_EQ(back->members[1]->Parent(), loaded.document->root.get()) << "the group passes its parent on";
  EXPECT_EQ(back->members[1]->Class().name, std::string("control_ob_bitmap"));
}

TEST(PagedGroup, PagesAndPagePlugsComeBackAndThePageAnnouncesItsChange) {
  DocumentBuilder builder;
  auto& box = dynamic_cast<CTabBox&>(builder.AddModule(builder.Root(), "Paged Group"));
  EXPECT_EQ(box.GetRect(kPanelView), (DocRect{0, 0, 200, 100}));
  EXPECT_EQ(box.PageNames(), (std::vector<std::string>{"Page 1", "Page 2"}));
  CUG& knob = builder.AddModule(builder.Root(), "Image");
  box.tabs = {{&knob, 1}};
  box.FindPlug("Page Names")->SetValueText("One,Two,Three");
  box.PagePlug()->SetValueText("2");

  DocumentLoadResult loaded = ReadDocument(WriteDocument(builder.Document()), LoadMode::Full);
  ASSERT_TRUE(loaded.document && loaded.document->root) << loaded.error;
  auto* back = FirstChildOf<CTabBox>(*loaded.document->root);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->tabs.size(), 1u);
  EXPECT_EQ(back->tabs[0].second, 1);
  EXPECT_EQ(back->PagePlug()->ValueText(), "2");
  EXPECT_EQ(back->PagePlug()->ItemList(), "One,Two,Three") << "the page list follows the names after a load";

  struct Count : Notifiable {
    int pages = 0;
    void OnNotify(Notifier*, int code, void*) override { pages += code == NC_PAGE; }
  } count;
  back->AddObserver(&count);
  back->PagePlug()->SetValueText("0");
  back->PagePlug()->SetValueText("0");
  EXPECT_EQ(count.pages, 1) << "one change, one announcement";
  back->RemoveObserver(&count);
}

TEST(PagedGroup, ABoxStoredWithoutPagePlugsGetsThemOnLoad) {
  DocumentBuilder builder;
  auto made = DocumentBuilder::MakeByClassName("CTabBox");
  auto* bare = dynamic_cast<CTabBox*>(made.get());
  ASSERT_NE(bare, nullptr);
  made.release();
  builder.AddObject(builder.Root(), std::unique_ptr<CDocOb>(bare));
  ASSERT_EQ(bare->PagePlug(), nullptr);
  DocumentLoadResult loaded = ReadDocument(WriteDocument(builder.Document()), LoadMode::Full);
  ASSERT_TRUE(loaded.document && loaded.document->root) << loaded.error;
  auto* back = FirstChildOf<CTabBox>(*loaded.document->root);
  ASSERT_NE(back, nullptr);
  ASSERT_NE(back->PagePlug(), nullptr);
  EXPECT_EQ(back->PagePlug()->ValueText(), "0");
  EXPECT_EQ(back->PagePlug()->ItemList(), "Page 1,Page 2");
}

}  // namespace krtest
