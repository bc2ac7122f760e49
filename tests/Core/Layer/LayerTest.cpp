#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/MeshLWLayer.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> gDrawn;

class Probe : public layer::Layer
{
public:
    explicit Probe(const std::string& name, BWResultEnum result = BW_OK) : mTag(name), mResult(result) {}
    BWResultEnum DrawSelf(render::Graphics*) override
    {
        gDrawn.push_back(mTag);
        return mResult;
    }
    std::string mTag;
    BWResultEnum mResult;
};

TEST(Layer, DrawsItselfThenItsChildrenSkippingHiddenSubtreesUntilTheFirstError)
{
    gDrawn.clear();
    Probe root("root");
    Probe* a = new Probe("a");
    Probe* hidden = new Probe("hidden");
    root.AddChild(a);
    root.AddChild(hidden);
    a->AddChild(new Probe("a1"));
    hidden->AddChild(new Probe("under hidden"));
    root.AddChild(new Probe("b"));
    hidden->SetVisible(false);
    EXPECT_EQ(root.Draw(nullptr), BW_OK);
    EXPECT_EQ(gDrawn, (std::vector<std::string>{"root", "a", "a1", "b"}));

    gDrawn.clear();
    a->mResult = BW_FAIL; // the first error ends the drawing
    EXPECT_EQ(root.Draw(nullptr), BW_FAIL);
    EXPECT_EQ(gDrawn, (std::vector<std::string>{"root", "a"}));
}

TEST(Layer, PlacementAndOpacityAddUpAlongTheTree)
{
    layer::Layer root;
    root.GetTransform().Scale(2, 2, 1);
    root.SetX(10); // moves the origin, keeps the scale
    root.SetY(20);
    root.SetOpacity(0.5f);
    layer::Layer* child = new layer::Layer;
    child->SetX(1);
    child->SetY(2);
    child->SetOpacity(0.5f);
    root.AddChild(child);
    EXPECT_EQ(root.GetX(), 10.0f);
    EXPECT_EQ(child->GetAbsoluteX(), 12.0f);
    EXPECT_EQ(child->GetAbsoluteY(), 24.0f);
    EXPECT_EQ(child->GetAbsoluteOpacity(), 0.25f);

    // A layer has one parent: adding it elsewhere changes nothing.
    layer::Layer other;
    other.AddChild(child);
    EXPECT_TRUE(other.GetChildren().empty());
    EXPECT_EQ(child->GetParent(), &root);
}

TEST(ImageLayer, DeletesTheImagesItOwnsAndOnlyThose)
{
    render::ImageRect kept;
    {
        layer::ImageLayer layer;
        layer.SetImage(new render::ImageRect, true);
        layer.SetImage(new render::ImageRect, true); // the first one goes
        layer.SetImage(&kept, false);                // the second one goes
        EXPECT_EQ(layer.GetImage(), &kept);
        EXPECT_EQ(layer.DrawSelf(nullptr), BW_OK) << "nothing to draw into";
    }
    EXPECT_EQ(kept.GetWidth(), 0);
}

TEST(MeshLWLayer, AnUnknownMeshOrLibraryIsLoggedAndLeavesTheLayerEmptyHoldingNothing)
{
    testing_support::TempFolder folder(true);
    const std::vector<uint8_t> tga =
        testing_support::MakeTga(testing_support::MakePixels(1, 1, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }), false);
    folder.Write("scene/white.tga", std::string(tga.begin(), tga.end()));
    folder.Write("scene/one.lib", R"(<meshlib texture="white"><mesh name="a"><vertices count="1"><v x="0" y="0"/>
        </vertices><indices count="3">0 0 0</indices></mesh></meshlib>)");
    bwtest::RecordingRender render;
    ASSERT_EQ(render.Init(64, 48), BW_OK);
    testing_support::LogCapture log;
    layer::MeshLWLayer layer;
    EXPECT_NE(layer.SetMesh(&render, L"scene/none", "a"), BW_OK);
    EXPECT_TRUE(log.Contains(L"Mesh library 'scene/none.lib' not found."));
    ASSERT_EQ(layer.SetMesh(&render, L"scene/one", "a"), BW_OK);
    EXPECT_NE(layer.GetMesh(), nullptr);
    EXPECT_NE(layer.SetMesh(&render, L"scene/one", "b"), BW_OK);
    EXPECT_TRUE(log.Contains(L"Mesh library 'scene/one' has no mesh 'b'."));
    EXPECT_EQ(layer.GetMesh(), nullptr);
    EXPECT_EQ(layer.GetLibrary(), nullptr);
    EXPECT_EQ(layer.DrawSelf(nullptr), BW_OK) << "nothing to draw";
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMeshLibraryMap().empty());
}

} // namespace
