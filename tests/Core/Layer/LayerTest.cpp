// Layers: their tree drawn in order, placements and opacities along it,
// images and meshes they hold, and through render::Graphics onto the OpenGL
// back end and read back: image and mesh layers where their transforms put
// them, the draw order by depth, and translated image layers pixel for pixel
// as the plain translated draw.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/MeshLWLayer.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/TempFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace
{

const float kPi = 3.14159265358979f;
const uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

// An 8x8 image of four quadrants and a library of a square and a triangle
// over it (scripts/make-mesh-library.py), under scene/.
void WriteShapes(const testing_support::TempFolder& folder)
{
    for (const std::string name : {"quadrants.png", "shapes.lib"})
        folder.Write("scene/" + name, testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Layer/fixtures/" + name));
}

// Draws record their names; a layer named "fails" fails its draw.
struct Probe : layer::Layer
{
    Probe(const std::string& name, std::vector<std::string>* drawn) : mName(name), mDrawn(drawn) {}
    BWResultEnum DrawSelf(render::Graphics*) override
    {
        mDrawn->push_back(mName);
        return mName == "fails" ? BW_FAIL : BW_OK;
    }
    std::string mName;
    std::vector<std::string>* mDrawn;
};

TEST(Layer, DrawsItselfThenItsChildrenSkippingHiddenSubtreesUntilTheFirstErrorOpacitiesMultiplied)
{
    std::vector<std::string> drawn;
    Probe root("root", &drawn);
    Probe* a = new Probe("a", &drawn);
    Probe* hidden = new Probe("hidden", &drawn);
    root.AddChild(a);
    root.AddChild(hidden);
    a->AddChild(new Probe("a1", &drawn));
    hidden->AddChild(new Probe("under hidden", &drawn));
    root.AddChild(new Probe("b", &drawn));
    hidden->SetVisible(false);
    root.SetOpacity(0.5f);
    a->SetOpacity(0.5f);
    EXPECT_EQ(a->GetChildren()[0]->GetAbsoluteOpacity(), 0.25f);
    // A layer has one parent: adding it elsewhere changes nothing.
    Probe other("other", &drawn);
    other.AddChild(a);
    EXPECT_TRUE(other.GetChildren().empty());
    EXPECT_EQ(root.Draw(nullptr), BW_OK);
    EXPECT_EQ(drawn, (std::vector<std::string>{"root", "a", "a1", "b"}));

    drawn.clear();
    a->mName = "fails";
    EXPECT_EQ(root.Draw(nullptr), BW_FAIL);
    EXPECT_EQ(drawn, (std::vector<std::string>{"root", "fails"}));
}

TEST(ImageLayer, DeletesTheImagesItOwnsAndOnlyThose)
{
    // Under the leak and address checks; the pixel tests' layers hold images
    // they do not own.
    render::ImageRect kept;
    layer::ImageLayer layer;
    layer.SetImage(new render::ImageRect, true);
    layer.SetImage(new render::ImageRect, true); // the first one goes
    layer.SetImage(&kept, false);                // the second one goes
    EXPECT_EQ(layer.DrawSelf(nullptr), BW_OK) << "nothing to draw into";
}

TEST(MeshLWLayer, AnUnknownMeshOrLibraryIsLoggedAndLeavesTheLayerEmptyHoldingNothing)
{
    testing_support::TempFolder folder(true);
    WriteShapes(folder);
    bwtest::RecordingRender render;
    ASSERT_EQ(render.Init(64, 48), BW_OK);
    testing_support::LogCapture log;
    layer::MeshLWLayer layer;
    EXPECT_NE(layer.SetMesh(&render, L"scene/none", "a"), BW_OK);
    EXPECT_TRUE(log.Contains(L"Mesh library 'scene/none.lib' not found."));
    ASSERT_EQ(layer.SetMesh(&render, L"scene/shapes", "square"), BW_OK);
    EXPECT_NE(layer.GetMesh(), nullptr);
    EXPECT_NE(layer.SetMesh(&render, L"scene/shapes", "b"), BW_OK);
    EXPECT_TRUE(log.Contains(L"Mesh library 'scene/shapes' has no mesh 'b'."));
    EXPECT_EQ(layer.GetMesh(), nullptr);
    EXPECT_EQ(layer.GetLibrary(), nullptr);
    EXPECT_EQ(layer.DrawSelf(nullptr), BW_OK) << "nothing to draw";
    EXPECT_TRUE(resource::ResourceManager::Instance()->GetMeshLibraryMap().empty());
}

class LayerPixelTest : public bwtest::GraphicsPixelFixture
{
protected:
    void SetUp() override
    {
        bwtest::GraphicsPixelFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WriteShapes(folder);
        render::ImageRect* made = nullptr;
        ASSERT_EQ(r->CreateImage(L"scene/quadrants.png", nullptr, &made, nullptr), BW_OK);
        image.reset(made);
    }

    void TearDown() override
    {
        root.reset();
        image.reset();
        EXPECT_TRUE(resource::ResourceManager::Instance()->GetMeshLibraryMap().empty());
        bwtest::GraphicsPixelFixture::TearDown();
    }

    // A layer of the image, or of the library's mesh, added at (x, y).
    layer::Layer* Add(layer::Layer* parent, const char* mesh = nullptr, float x = 0, float y = 0)
    {
        layer::Layer* added = mesh ? static_cast<layer::Layer*>(new layer::MeshLWLayer) : new layer::ImageLayer;
        if (mesh)
            EXPECT_EQ(static_cast<layer::MeshLWLayer*>(added)->SetMesh(r.get(), L"scene/shapes", mesh), BW_OK);
        else
            static_cast<layer::ImageLayer*>(added)->SetImage(image.get(), false);
        added->SetX(x);
        added->SetY(y);
        parent->AddChild(added);
        return added;
    }

    testing_support::TempFolder folder{true};
    std::unique_ptr<render::ImageRect> image;
    std::unique_ptr<layer::Layer> root = std::make_unique<layer::Layer>();
};

TEST_F(LayerPixelTest, MeshLayerDrawsItsTexturedTriangles)
{
    Add(root.get(), "square", 10, 10);
    Add(root.get(), "triangle", 30, 10);
    ASSERT_EQ(root->Draw(graphics.get()), BW_OK);
    Finish();
    ExpectPixels({{10, 10, kRed}, {13, 13, kRed}, {17, 10, kGreen}, {10, 17, kBlue}, {17, 17, kWhite},
                  {9, 10, kBlack}, {10, 9, kBlack}, {18, 17, kBlack}, {17, 18, kBlack}});
    // The triangle samples the red corner; its long side runs from (46, 10)
    // to (30, 26).
    ExpectPixels({{30, 10, kRed}, {44, 10, kRed}, {30, 24, kRed}, {37, 17, kRed}, {38, 18, kBlack}, {46, 10, kBlack},
                  {29, 15, kBlack}});
}

TEST_F(LayerPixelTest, RotatedAndScaledLayersLandWhereTheirTransformsSay)
{
    // Each turned a quarter about its centre and doubled.
    layer::Layer* shown[2] = {Add(root.get()), Add(root.get(), "square")};
    const float centres[2][2] = {{18, 24}, {46, 24}};
    for (int i = 0; i < 2; ++i)
    {
        render::Transform& t = shown[i]->GetTransform();
        t.Translate(-4, -4, 0);
        t.Scale(2, 2, 1);
        t.Rotate(0, 0, kPi / 2);
        t.Translate(centres[i][0], centres[i][1], 0);
    }
    ASSERT_EQ(root->Draw(graphics.get()), BW_OK);
    Finish();
    // The colours of the quadrant centres land where the transforms take them.
    for (const layer::Layer* layer : shown)
    {
        render::Transform placed;
        layer->GetRootTransform(&placed);
        for (const Pixel& centre : {Pixel{2, 2, kRed}, Pixel{6, 2, kGreen}, Pixel{2, 6, kBlue}, Pixel{6, 6, kWhite}})
        {
            const float in[3] = {float(centre.x), float(centre.y), 0.0f};
            float out[3];
            placed.TransformPoint(in, out);
            ExpectNear(At(static_cast<int>(out[0]), static_cast<int>(out[1])), centre.color, 2);
        }
    }
    // 16 pixels square about each centre, nothing beyond.
    ExpectPixels({{9, 24, kBlack}, {27, 24, kBlack}, {18, 15, kBlack}, {18, 33, kBlack}, {37, 24, kBlack},
                  {55, 24, kBlack}, {46, 33, kBlack}});
}

TEST_F(LayerPixelTest, NearerLayersDrawOverFartherOnesWhateverTheOrderTheyWereAdded)
{
    for (bool nearFirst : {true, false})
    {
        SCOPED_TRACE(nearFirst ? "near one added first" : "far one added first");
        root = std::make_unique<layer::Layer>();
        layer::Layer* a = Add(root.get());
        layer::Layer* b = Add(root.get(), "square");
        layer::Layer* nearer = nearFirst ? a : b;
        layer::Layer* farther = nearFirst ? b : a;
        nearer->GetTransform().Translate(20, 20, 1);
        farther->GetTransform().Translate(24, 24, 5);
        ASSERT_EQ(root->Draw(graphics.get()), BW_OK);
        Finish();
        // At (25, 25) the nearer shows its white corner over the farther's red one.
        ExpectPixels({{25, 25, kWhite}, {31, 31, kWhite}, {20, 20, kRed}});

        ASSERT_EQ(r->BeginScene(), BW_OK);
        const float black[4] = {0, 0, 0, 1};
        ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    }
}

TEST_F(LayerPixelTest, TranslatedImageLayersDrawTheSamePixelsAsTheTranslatedImage)
{
    // Fractional places, and a child placed relative to its parent.
    const float places[3][2] = {{3.25f, 5.5f}, {20.75f, 30.5f}, {41.5f, 9.125f}};
    for (const auto& at : places)
        graphics->DrawImage(image.get()).Translate(at);
    const float child[2] = {places[1][0] + 6.0f, places[1][1] - 20.25f};
    graphics->DrawImage(image.get()).Translate(child);
    Finish();
    const std::vector<D3DCOLOR> expected = pixels;

    ASSERT_EQ(r->BeginScene(), BW_OK);
    const float black[4] = {0, 0, 0, 1};
    ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
    for (const auto& at : places)
        Add(root.get(), nullptr, at[0], at[1]);
    Add(root->GetChildren()[1], nullptr, 6.0f, -20.25f);
    ASSERT_EQ(root->Draw(graphics.get()), BW_OK);
    Finish();
    EXPECT_EQ(pixels, expected);
}

} // namespace
