// The editor's window headless: what it draws for a rig's skin fields, opening
// and closing, the meters, and the hint and message fades on a test clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data/jsontext.hpp"
#include "data/skinimages.hpp"
#include "editor/qvguimodel.hpp"
#include "editor/qvmeterview.hpp"
#include "editor/qvtricklabel.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cbitmap.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/ctextlabel.hpp"
#include "toolkit/headless/headless.hpp"
#include "tools/snapshot/editorinstance.hpp"
#include "tools/host/vsthost.hpp"

namespace {

// The instance's rig as a preset with full blocks, its skin fields replaced.
void loadLook(qveditorinstance& in, int bgimg, int logoimg) {
  qvengine& e = in.engine();
  e.chain.ampSlot.dataind = -1;  // written with full blocks, so the fields below count
  qvjsoncursor node;
  e.writePresetNode("look", true, -1, node);
  qvjsonnode j = node.root();
  j["bgimg"] = bgimg;
  j["logoimg"] = logoimg;
  const std::string text = writeJsonText(j);
  in.effect().setChunk(const_cast<char*>(text.data()), static_cast<VstInt32>(text.size()), true);
}

// The logo drawn on the amplifier panel: a view showing one of the logo images.
CBitmap* logoOf(qveditor& ed) {
  CViewContainer* panel = ed.ampPanel();
  for (int32_t k = 0; k < panel->getNbViews(); ++k)
    for (int32_t image = kFirstLogoImage; image <= kHighestImage; ++image)
      if (CBitmap* b = panel->getView(k)->getBackground(); b && b == ed.model().image(image)) return b;
  return nullptr;
}

std::vector<unsigned char> picture(CFrame& frame) {
  frame.drawDirty();
  cairo_surface_t* s = frame.getImage();
  cairo_surface_flush(s);
  const unsigned char* d = cairo_image_surface_get_data(s);
  return {d, d + cairo_image_surface_get_stride(s) * cairo_image_surface_get_height(s)};
}

}  // namespace

TEST(EditorFrame, SkinFieldsPickTheFaceAndTheLogo) {
  struct Row {
    int bgimg, logoimg;
    const char* face;  // file of the amplifier panel's picture
    const char* logo;  // file of the logo, null for none
  } rows[] = {
      {13, 25, "ampguibg14.png", "logoeme.png"},
      {14, -1, "pedalgui1.png", nullptr},
      {0, 24, "ampguibg1.png", "logoros.png"},
  };
  for (const Row& r : rows) {
    qveditorinstance in;
    loadLook(in, r.bgimg, r.logoimg);
    ASSERT_TRUE(in.open());
    qvguimodel& m = in.editor().model();
    auto indexOf = [](const char* file) {
      for (const qvskinfile& f : kSkinFiles)
        if (std::string(f.file) == file) return f.index;
      return -1;
    };
    EXPECT_EQ(in.editor().ampPanel()->getBackground(), m.image(indexOf(r.face))) << r.face;
    EXPECT_EQ(logoOf(in.editor()), r.logo ? m.image(indexOf(r.logo)) : nullptr) << r.bgimg;
  }
}

TEST(EditorFrame, ALogoChangesThePixelsOfItsBoxOnly) {
  qveditorinstance plain, withLogo;
  loadLook(plain, 0, -1);
  loadLook(withLogo, 0, 25);
  ASSERT_TRUE(plain.open() && withLogo.open());
  picture(plain.frame());
  picture(withLogo.frame());
  const CRect box(kAmpLogoBox.x + 22, kAmpLogoBox.y + 20, kAmpLogoBox.x + kAmpLogoBox.w + 22,
                  kAmpLogoBox.y + kAmpLogoBox.h + 20);
  int differentInBox = 0;
  for (int x = int(box.left); x < int(box.right); x += 4)
    for (int y = int(box.top); y < int(box.bottom); y += 4)
      differentInBox += framePixel(plain.frame(), x, y) != framePixel(withLogo.frame(), x, y);
  EXPECT_GT(differentInBox, 100) << "the logo shows";
  for (CPoint p : {CPoint(100, 250), CPoint(700, 400), CPoint(10, 470)})
    EXPECT_EQ(framePixel(plain.frame(), int(p.x), int(p.y)), framePixel(withLogo.frame(), int(p.x), int(p.y)));
}

TEST(EditorFrame, ReopeningRebuildsTheSameWindowWithOneObserver) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  const auto first = picture(in.frame());
  EXPECT_EQ(in.editor().mouseObserversRegistered(), 1);
  ASSERT_TRUE(in.open()) << "a second open without a close";
  EXPECT_EQ(in.editor().mouseObserversRegistered(), 1);
  in.editor().close();
  EXPECT_FALSE(in.editor().isOpen());
  EXPECT_EQ(in.editor().statusText(), "");
  EXPECT_EQ(in.engine().controls.count(), 0u) << "the control table went with the views";
  ASSERT_TRUE(in.open());
  EXPECT_EQ(in.editor().mouseObserversRegistered(), 1);
  EXPECT_EQ(picture(in.frame()), first);
  ERect* rect = nullptr;
  ASSERT_TRUE(in.editor().getRect(&rect));
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 480);
  EXPECT_EQ(rect->right, 840);
}

TEST(EditorFrame, TabsShowTheirPageAndKeepItAcrossOpenings) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  for (int page : {2, 1, 0, 2}) {
    injectClick(in.frame(), in.editor().tabs().members[size_t(page)]->getViewSize().getCenter());
    in.idleFor(0.04);
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(in.editor().page(k)->isVisible(), k == page) << page;
      EXPECT_EQ(in.editor().tabs().members[size_t(k)]->getValue(), k == page ? 1.0f : 0.0f);
    }
  }
  in.editor().close();
  ASSERT_TRUE(in.open());
  EXPECT_TRUE(in.editor().page(2)->isVisible());
}

TEST(EditorFrame, MeterLevelsAndTheTickWrap) {
  EXPECT_EQ(meterLevel(0.0), 0.0);
  EXPECT_EQ(meterLevel(0.00001), 0.0) << "a whisper reads nothing";
  EXPECT_NEAR(meterLevel(2048.0), 1.0, 1e-12) << "a full-scale square wave";
  EXPECT_NEAR(meterLevel(2048.0 * 0.01), std::log10(1.0 + 2.9) / std::log10(30.0), 1e-12);
  EXPECT_NEAR(tickSeconds(0x00000100u, 0xFFFFFF00u), 0.512, 1e-9) << "across the wrap";
  EXPECT_NEAR(tickSeconds(5000, 4960), 0.040, 1e-9);

  qveditorinstance in;
  ASSERT_TRUE(in.open());
  in.play(4096, true);
  in.idleFor(0.04);
  EXPECT_GT(in.editor().inputMeter()->getValue(), 0.3f) << "noise moves the input meter";
  EXPECT_GT(in.editor().outputMeter()->getValue(), 0.05f);
  in.play(4096, false);
  in.idleFor(0.04);
  EXPECT_EQ(in.editor().inputMeter()->getValue(), 0.0f) << "silence rests at zero";
  EXPECT_EQ(in.editor().outputMeter()->getValue(), 0.0f);
}

TEST(EditorFrame, HintWaitsThenFadesInAndOut) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  CView* tab = in.editor().tabs().members[0];
  in.editor().showHint(tab, "Amp: page");
  CTextLabel* hint = in.editor().hintView();
  ASSERT_NE(hint, nullptr);
  in.idleFor(0.76);
  EXPECT_EQ(hint->getAlphaValue(), 0.0f) << "not before 0.8 s";
  in.idleFor(0.08);
  EXPECT_GT(hint->getAlphaValue(), 0.0f);
  EXPECT_LT(hint->getAlphaValue(), 0.2f) << "fading in";
  in.idleFor(0.48);
  EXPECT_EQ(hint->getAlphaValue(), 1.0f);
  in.editor().fadeHint();
  in.idleFor(0.52);
  EXPECT_EQ(in.editor().hintView(), nullptr) << "gone after 0.5 s";

  // Left before 0.8 s: removed without ever showing.
  in.editor().showHint(tab, "again");
  hint = in.editor().hintView();
  in.idleFor(0.4);
  EXPECT_EQ(hint->getAlphaValue(), 0.0f);
  in.editor().fadeHint();
  in.idleFor(0.04);
  EXPECT_EQ(in.editor().hintView(), nullptr);
}

TEST(EditorFrame, MessageStaysFourSecondsAndWaitsForAClosedWindow) {
  qveditorinstance in;
  ASSERT_TRUE(in.open());
  in.engine().messages.post("Saving Preset", 1);
  in.idleFor(0.52);
  CTextLabel* line = in.editor().messageView();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->getText(), "Saving Preset");
  EXPECT_EQ(line->getAlphaValue(), 1.0f);
  in.idleFor(4.0);
  EXPECT_EQ(line->getAlphaValue(), 1.0f) << "still there after 4.5 s";
  in.idleFor(1.2);
  EXPECT_EQ(in.editor().messageView(), nullptr) << "faded out";

  in.editor().close();
  in.engine().messages.post("Warning: could not save", 2);
  in.editor().idle();  // hosts may idle a closed editor
  ASSERT_TRUE(in.open());
  ASSERT_NE(in.editor().messageView(), nullptr) << "shown at the next opening";
  EXPECT_EQ(in.editor().messageView()->getText(), "Warning: could not save");
}

TEST(EditorHost, OpenWithoutADisplayFailsAndThePluginPlaysOn) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  auto module = std::make_shared<qvhostmodule>();
  ASSERT_EQ(module->open(CORVINA_PLUGIN_PATH), qvhostresult::ok) << module->error();
  qvhostresult result;
  qvhostoptions options;
  auto host = qvhostinstance::create(module, options, result);
  ASSERT_TRUE(host);
  host->open();
  EXPECT_TRUE(host->effect()->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  EXPECT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->bottom, 480);
  EXPECT_EQ(rect->right, 840);
  EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x1234})), 0);
  host->dispatch(effEditIdle);
  host->dispatch(effEditClose);
  host->resume();
  float in[64] = {0.5f}, l[64], r[64];
  float* ins[2] = {in, in};
  float* outs[2] = {l, r};
  host->processBlock(ins, outs, 64);
  EXPECT_TRUE(std::isfinite(l[0]));
  if (display) setenv("DISPLAY", saved.c_str(), 1);
}
