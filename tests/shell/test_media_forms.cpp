// The sound, texture stack, sprite and ground sprite editors: a loaded tag shows no
// changes, each edit stores the bytes the core operation gives, bad input changes
// nothing, and sound plays through a fake output.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGWindow.h"
#include "shell/TBitmapView.h"
#include "shell/TTolvaneApp.h"
#include "shell/editor_form_support.h"
#include "shell/forms/TgrspEditForm.h"
#include "shell/forms/TspriEditForm.h"
#include "shell/forms/TsounEditForm.h"
#include "shell/forms/TtxstEditForm.h"
#include "shell/forms/editor_forms.h"
#include "sound/sound_import.h"
#include "sound/sound_player.h"
#include "sound/wav_file.h"
#include "support/fake_sound_output.h"
#include "texture/TRecompressDialog.h"
#include "texture/TTextureInfoDialog.h"
#include "texture/grsp.h"
#include "texture/jpeg_codec.h"
#include "texture/psd_writer.h"
#include "texture/texture_import.h"
#include "texture/texture_pixels.h"
#include "texture/texture_text.h"
#include "texture/txst_format.h"
#include "tags/tag_types.h"

namespace {

class MediaFormTest : public EditorFormTest {
protected:
    void SetUp() override
    {
        EditorFormTest::SetUp();
        install_tag_editor_forms();
        fApp->GetSoundPlayer().SetSinkFactory(fOutput.Factory());
    }

    std::string Wav(const std::string& name, uint16_t channels, uint32_t rate, uint16_t bits, size_t frames)
    {
        std::vector<uint8_t> samples;
        for (size_t i = 0; i < frames * channels; ++i) {
            auto s = int16_t(9000 * std::sin(double(i) * 0.05));
            samples.push_back(uint8_t(s));
            if (bits == 16) samples.push_back(uint8_t(uint16_t(s) >> 8));
        }
        std::string path = fData / name;
        write_file(path, make_wav_image(channels, rate, bits, samples));
        return path;
    }
    // A sound of a mono and a stereo permutation, as the core makes it.
    bytes SoundBytes()
    {
        tag_entry* e = MakeTag("soun", {});
        tag_type_set_defaults_hook(code("soun"))(e);
        EXPECT_EQ(replace_sound_permutation(e, Wav("mono.wav", 1, 22050, 16, 300), 0, 0), 0);
        EXPECT_EQ(replace_sound_permutation(e, Wav("stereo.wav", 2, 22050, 16, 200), 25, 1), 0);
        return Data(e);
    }
    // The tag's bytes after a core operation on a copy of original.
    template <class Operation>
    bytes CoreResult(const std::string& type, const bytes& original, Operation operation)
    {
        tag_entry* copy = MakeTag(type, original, "copy");
        operation(copy);
        return Data(copy);
    }
    static void Select(TTagEditForm* form, int32_t list, std::vector<int32_t> rows)
    {
        dynamic_cast<XGListControl*>(View(form, list))->ChooseRows(rows);
    }
    static bool Enabled(TTagEditForm* form, int32_t command)
    {
        XGCommandStatus status;
        form->Send(kXGStatusMessage, command, reinterpret_cast<XGParam>(&status));
        return status.enabled;
    }

    FakeSoundOutput fOutput;
};

std::unique_ptr<stacked_texture> Texture(uint16_t side, uint8_t channels, uint8_t use, int quality)
{
    auto t = std::make_unique<stacked_texture>();
    t->width = t->height = side;
    t->channels = channels;
    t->use = use;
    t->compressed_data.resize(t->raw_size());
    for (size_t i = 0; i < t->compressed_data.size(); ++i) {
        const size_t p = i / channels, x = p % side, y = p / side;
        t->compressed_data[i] = uint8_t(x * 4 + y * 2 + (i % channels) * 30);
    }
    if (quality > 0) recompress_texture(*t, quality);
    return t;
}

// Stack 1: a raw rgba and a JPEG alpha texture; stack 2: a JPEG rgb texture.
bytes TextureBytes(tag_entry* e)
{
    auto set = create_texture_set(2);
    insert_texture(set.get(), 0, -1, Texture(16, 4, TEXTURE_USE_BASE, 0));
    insert_texture(set.get(), 0, -1, Texture(32, 1, TEXTURE_USE_DETAIL_MASK, 90));
    insert_texture(set.get(), 1, -1, Texture(32, 3, TEXTURE_USE_DETAIL_TEXTURE, 90));
    EXPECT_TRUE(write_texture_set(e, *set));
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    return bytes(data, data + size);
}

template <class Operation>
void OnSet(tag_entry* e, Operation operation)
{
    auto set = read_texture_set(e);
    operation(*set);
    ASSERT_TRUE(write_texture_set(e, *set));
}

stacked_texture* At(texture_set& set, uint32_t stack, size_t index)
{
    return set.stacks[stack].textures[index].get();
}

} // namespace

TEST_F(MediaFormTest, SoundFieldsAndPermutationsStoreWhatTheCoreStores)
{
    const bytes original = SoundBytes();
    CheckEveryControl("soun", original);

    tag_entry* e = MakeTag("soun", original);
    auto* form = dynamic_cast<TsounEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    auto* list = dynamic_cast<XGListControl*>(View(form, TsounEditForm::kPermutations));
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1), "2. stereo   (16 bits, 22050 hz, stereo, 0.3 k)");

    // names and skip fractions
    Select(form, TsounEditForm::kPermutations, {1});
    Type(form, TsounEditForm::kName, "breeze");
    Type(form, TsounEditForm::kSkip, "0.5");
    EXPECT_TRUE(form->HasChanges());
    form->ApplyChanges();
    EXPECT_EQ(Data(e), CoreResult("soun", original, [](tag_entry* t) {
                  TSoundDefinition s;
                  ASSERT_TRUE(read_sound_definition(s, t));
                  std::memset(s.fPermutations[1].permutation_name, 0, 26);
                  std::strcpy(s.fPermutations[1].permutation_name, "breeze");
                  s.fPermutations[1].skip_fraction = 32768;
                  write_sound_definition(s, t);
              }));

    // Add, Replace and Remove give what the core gives
    const bytes named = Data(e);
    ModalScript script;
    std::string third = Wav("third.wav", 1, 22050, 16, 100);
    script.File(third);
    View(form, TsounEditForm::kAdd)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Data(e), CoreResult("soun", named, [&](tag_entry* t) { replace_sound_permutation(t, third, 0, 2); }));
    const bytes added = Data(e);
    Select(form, TsounEditForm::kPermutations, {0});
    script.File(third);
    View(form, TsounEditForm::kReplace)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Data(e), CoreResult("soun", added, [&](tag_entry* t) { replace_sound_permutation(t, third, 0, 0); }));
    const bytes replaced = Data(e);
    Select(form, TsounEditForm::kPermutations, {1});
    View(form, TsounEditForm::kRemove)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Data(e), CoreResult("soun", replaced, [](tag_entry* t) {
                  TSoundDefinition s;
                  ASSERT_TRUE(read_sound_definition(s, t));
                  sound_remove_permutation(s, 1);
                  write_sound_definition(s, t);
              }));

    // a WAV that cannot be imported says why, naming the file, and changes nothing
    const bytes before = Data(e);
    for (const std::string& bad : {Wav("eight.wav", 1, 22050, 8, 100), Wav("fast.wav", 1, 44100, 16, 100),
                                   std::string(fData / "missing.wav")}) {
        script.File(bad).Click(kXGAlertOK);
        View(form, TsounEditForm::kAdd)->Click();
        EXPECT_TRUE(script.Shown().back().Mentions(bad)) << bad;
        EXPECT_FALSE(form->HasChanges()) << bad;
    }
    EXPECT_TRUE(script.Shown()[1].Mentions("16-bit"));
    EXPECT_EQ(Data(e), before);

    // a damaged sound opens with a note and cannot be applied
    tag_entry* damaged = MakeTag("soun", bytes(original.begin(), original.end() - 1), "damaged");
    form = dynamic_cast<TsounEditForm*>(Open(damaged));
    EXPECT_NE(form->GetNote().find("not a sound that can be read"), std::string::npos) << form->GetNote();
    EXPECT_FALSE(form->HasChanges());
}

TEST_F(MediaFormTest, PlayHandsOneBufferAtATimeToTheOutput)
{
    bytes original = SoundBytes();
    // a third permutation at 44100 Hz: its header's rate, 16.16 at 64 + 3 * 32 + 2 * 32 + 12
    tag_entry* e = MakeTag("soun", original);
    ASSERT_EQ(replace_sound_permutation(e, Wav("third.wav", 1, 22050, 16, 64), 0, 2), 0);
    bytes data = Data(e);
    put_be32(data, 64 + 3 * 32 + 2 * 32 + 12, 44100u << 16);
    tag_set_data(e, data.data(), uint32_t(data.size()));
    auto* form = dynamic_cast<TsounEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);

    Select(form, TsounEditForm::kPermutations, {1});
    View(form, TsounEditForm::kPlay)->Click();
    ASSERT_EQ(fOutput.buffers.size(), 1u);
    sound_pcm expected;
    ASSERT_TRUE(decode_permutation_for_playback(form->GetSound(), 1, expected));
    EXPECT_EQ(fOutput.buffers[0].channels, 2);
    EXPECT_EQ(fOutput.buffers[0].samples, expected.samples);
    EXPECT_TRUE(View(form, TsounEditForm::kStop)->IsEnabled());

    // the play position moves across the picture
    fOutput.position = fApp->GetSoundPlayer().FrameCount() / 2;
    fApp->RunPeriodicTasks();
    const QImage& picture = dynamic_cast<TBitmapView*>(View(form, TsounEditForm::kWaveform))->GetImage();
    EXPECT_EQ(picture.pixel(picture.width() / 2, 2) & 0xFFFFFF, 0xFFD250u);

    Select(form, TsounEditForm::kPermutations, {0});
    View(form, TsounEditForm::kPlay)->Click();
    ASSERT_EQ(fOutput.events.size(), 3u);
    EXPECT_EQ(fOutput.events[1], "stop");
    // the 44100 Hz permutation is silent and says so
    Select(form, TsounEditForm::kPermutations, {2});
    View(form, TsounEditForm::kPlay)->Click();
    EXPECT_NE(form->GetText(TsounEditForm::kPlayMessage).find("22050"), std::string::npos);
    EXPECT_EQ(fOutput.events.size(), 3u);
    // closing the editor releases its buffer
    form->GetWindow()->Close(false);
    pump_events();
    EXPECT_EQ(fOutput.events.back(), "stop");

    // no audio device: Play says so in the form
    fApp->GetSoundPlayer().SetSinkFactory([](std::string* why) {
        *why = "there is no audio output device";
        return std::unique_ptr<TSoundSink>();
    });
    form = dynamic_cast<TsounEditForm*>(Open(e));
    Select(form, TsounEditForm::kPermutations, {0});
    View(form, TsounEditForm::kPlay)->Click();
    EXPECT_EQ(form->GetText(TsounEditForm::kPlayMessage),
              "The sound cannot be played: there is no audio output device.");
}

TEST_F(MediaFormTest, TextureStackCommandsStoreWhatTheCoreStores)
{
    tag_entry* e = MakeTag("txst", {});
    const bytes original = TextureBytes(e);
    auto* form = dynamic_cast<TtxstEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    auto* list = dynamic_cast<XGListControl*>(View(form, TtxstEditForm::kList));
    ASSERT_EQ(list->GetItemCount(), 5); // two stack rows and three textures
    EXPECT_EQ(list->GetItemText(0), "Stack 1   (2 textures)");
    EXPECT_EQ(list->GetItemText(1), "rgba 16 x 16\nraw data, 1.0 k (100%)\nbase texture");
    for (int32_t row : {1, 2, 4}) EXPECT_TRUE(list->HasItemIcon(row)) << row;

    auto check = [&](const char* what, auto operation) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(form->HasChanges());
        const bytes before = original;
        form->ApplyChanges();
        EXPECT_FALSE(form->HasChanges());
        EXPECT_EQ(Data(e), CoreResult("txst", before, [&](tag_entry* t) { OnSet(t, operation); }));
        tag_set_data(e, original.data(), uint32_t(original.size()));
        form->LoadTag();
    };

    Select(form, TtxstEditForm::kList, {1});
    EXPECT_TRUE(Enabled(form, TtxstEditForm::kCommandSplitRGBA));
    EXPECT_FALSE(Enabled(form, TtxstEditForm::kCommandMergeRGBAndA));
    form->Send(kXGMenuMessage, TtxstEditForm::kCommandSplitRGBA, 0);
    check("split", [](texture_set& s) { split_rgba(s, At(s, 0, 0)); });

    // merge takes the first two selected textures when they are colour and alpha of one size
    Select(form, TtxstEditForm::kList, {1, 2});
    EXPECT_FALSE(Enabled(form, TtxstEditForm::kCommandMergeRGBAndA));
    Select(form, TtxstEditForm::kList, {2, 4});
    EXPECT_TRUE(Enabled(form, TtxstEditForm::kCommandMergeRGBAndA));
    form->Send(kXGMenuMessage, TtxstEditForm::kCommandSplitRGBA, 0); // nothing to split
    EXPECT_FALSE(form->HasChanges());
    form->Send(kXGMenuMessage, TtxstEditForm::kCommandMergeRGBAndA, 0);
    check("merge", [](texture_set& s) { merge_rgb_and_a(s, At(s, 0, 1), At(s, 1, 0)); });

    // Recompress Texture for every selected texture at once
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_NE(d.FindView(TRecompressDialog::kSize)->GetText().find(" bytes ("), std::string::npos);
        d.FindView(TRecompressDialog::kQuality)->SetText("40");
        d.FindView(TRecompressDialog::kForAll)->SetValue(1);
        d.ClickControl(TRecompressDialog::kOK);
    });
    Select(form, TtxstEditForm::kList, {1, 4});
    form->Send(kXGMenuMessage, TtxstEditForm::kCommandRecompressTextures, 0);
    EXPECT_EQ(script.Pending(), 0);
    check("recompress", [](texture_set& s) {
        recompress_texture(*At(s, 0, 0), 40);
        recompress_texture(*At(s, 1, 0), 40);
    });

    // Texture Info: the use, the layer and the placement, read back through the inverse scale
    script.Then([](XGDialog& d) {
        dynamic_cast<XGPopupMenu*>(d.FindView(TTextureInfoDialog::kUse))->Choose(1); // "Detail Texture"
        d.FindView(TTextureInfoDialog::kLayer)->SetText("3");
        d.FindView(TTextureInfoDialog::kOriginX + 2)->SetText("-1.0"); // u x of a 32-wide texture
        d.ClickControl(TTextureInfoDialog::kOK);
    });
    Select(form, TtxstEditForm::kList, {4});
    View(form, TtxstEditForm::kTextureInfo)->Click();
    script.Then([](XGDialog& d) {
        d.FindView(TTextureInfoDialog::kLayer)->SetText("256");
        d.ClickControl(TTextureInfoDialog::kOK); // refused: the window stays
        d.ClickControl(TTextureInfoDialog::kCancel);
    }).Click(kXGAlertOK);
    form->Send(kXGListValueMessage, TtxstEditForm::kList, 0);
    check("texture info", [](texture_set& s) {
        At(s, 1, 0)->layer = 3;
        At(s, 1, 0)->u_x = -512;
    });
    EXPECT_TRUE(script.Shown()[3].Mentions("0 to 255"));

    // a layered image imported after the selected texture
    std::vector<psd_layer_source> layers(2);
    for (psd_layer_source& l : layers) {
        l.bounds = {0, 0, 8, 8};
        l.red = l.green = l.blue = std::vector<uint8_t>(64, 90);
    }
    layers[1].transparency = std::vector<uint8_t>(64, 7);
    std::string psd = fData / "layers.psd";
    write_file(psd, write_layered_image(8, 8, layers, true));
    script.File(psd);
    Select(form, TtxstEditForm::kList, {1});
    View(form, TtxstEditForm::kImportLayers)->Click();
    check("import", [&](texture_set& s) { import_image_into_stack(s, 0, 1, psd); });
}

TEST_F(MediaFormTest, TexturePreviewsAreOfTheTagAsItIsWhenTheFormLoads)
{
    tag_entry* e = MakeTag("txst", {});
    TextureBytes(e);
    // the form starts on the tag when it is made; the tag changes before it loads
    auto* window = static_cast<XGWindow*>(TTagEditForm::Open<TtxstEditForm>(e, TtxstEditForm::kResource));
    auto* form = dynamic_cast<TtxstEditForm*>(TTagEditorBase::FromTag(e));
    ASSERT_NE(form, nullptr);
    OnSet(e, [](texture_set& s) { s.stacks[0].textures.erase(s.stacks[0].textures.begin()); });
    form->LoadTag();
    auto* list = dynamic_cast<XGListControl*>(View(form, TtxstEditForm::kList));
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(list->GetItemText(1).substr(0, 13), "alpha 32 x 32");
    EXPECT_FALSE(form->HasChanges());
    for (const TtxstEditForm::Row& row : form->GetRows()) {
        if (row.texture < 0) continue;
        const stacked_texture& t = *form->GetSet()->stacks[row.stack].textures[size_t(row.texture)];
        ASSERT_NE(t.preview, nullptr);
        EXPECT_LE(int32_t(t.preview->width), list->GetIconPixels());
    }
    window->Close(false);
}

TEST_F(MediaFormTest, TexturesAreAddedMovedDeletedAndExported)
{
    tag_entry* e = MakeTag("txst", {});
    const bytes original = TextureBytes(e);
    auto* form = dynamic_cast<TtxstEditForm*>(Open(e));
    texture_set* set = form->GetSet();

    // a picture file becomes a raw texture after the selection
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    std::string png = fData / "picture.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(png)));
    ModalScript script;
    script.File(png);
    Select(form, TtxstEditForm::kList, {3}); // stack 2
    View(form, TtxstEditForm::kAddImage)->Click();
    ASSERT_EQ(set->stacks[1].textures.size(), 2u);
    const stacked_texture* added = At(*set, 1, 1);
    EXPECT_EQ(added->channels, 3);
    ASSERT_EQ(added->data_size(), 5u * 3 * 3);
    EXPECT_EQ(bytes(added->compressed_data.begin(), added->compressed_data.begin() + 3), (bytes{10, 20, 30}));
    EXPECT_EQ(form->SelectedTextures(), std::vector<stacked_texture*>{At(*set, 1, 1)});

    // moving past the top of a stack goes to the end of the one before; a stack row moves the stack
    View(form, TtxstEditForm::kMoveUp)->Click();
    View(form, TtxstEditForm::kMoveUp)->Click();
    EXPECT_EQ(At(*set, 0, 2), added);
    Select(form, TtxstEditForm::kList, {0});
    View(form, TtxstEditForm::kMoveDown)->Click();
    EXPECT_EQ(At(*set, 1, 2), added);
    // deleting a stack row takes its textures with it; an emptied stack stays
    Select(form, TtxstEditForm::kList, {1, 2});
    View(form, TtxstEditForm::kDelete)->Click();
    ASSERT_EQ(set->stack_count(), 1u);
    EXPECT_TRUE(set->stacks[0].textures.empty());
    form->LoadTag();

    // export: a JPEG texture's stream is the file; PNG holds the pixels with alpha
    set = form->GetSet();
    script.File(fData / "mask.jpg");
    Select(form, TtxstEditForm::kList, {2});
    View(form, TtxstEditForm::kExport)->Click();
    EXPECT_EQ(read_file(fData / "mask.jpg"), At(*set, 0, 1)->compressed_data);
    script.File(fData / "colour.png");
    Select(form, TtxstEditForm::kList, {1});
    View(form, TtxstEditForm::kExport)->Click();
    QImage exported(QString::fromStdString(fData / "colour.png"));
    ASSERT_EQ(exported.size(), QSize(16, 16));
    const uint8_t* p = At(*set, 0, 0)->compressed_data.data() + 4 * (16 * 2 + 5);
    EXPECT_EQ(exported.pixelColor(5, 2), QColor(p[0], p[1], p[2], p[3]));
    script.File(fData / "colour.gif").Click(kXGAlertOK);
    View(form, TtxstEditForm::kExport)->Click();
    EXPECT_TRUE(script.Shown().back().Mentions(".png or .jpg"));
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(Data(e), original);
}

TEST_F(MediaFormTest, DamagedTextureStacksOpenWithANote)
{
    tag_entry* e = MakeTag("txst", {});
    bytes data = TextureBytes(e);
    // the alpha texture's JPEG data: its stream is overwritten in the middle
    auto set = read_texture_set(e);
    At(*set, 0, 1)->compressed_data.assign(At(*set, 0, 1)->data_size(), 0x55);
    ASSERT_TRUE(write_texture_set(e, *set));
    auto* form = dynamic_cast<TtxstEditForm*>(Open(e));
    EXPECT_NE(form->GetNote().find("Stack 1, texture 2 (alpha 32 x 32) cannot be decoded"), std::string::npos)
        << form->GetNote();
    auto* list = dynamic_cast<XGListControl*>(View(form, TtxstEditForm::kList));
    EXPECT_NE(list->GetItemText(2).find("cannot be decoded"), std::string::npos);
    EXPECT_FALSE(form->HasChanges());
    // recompressing it names the texture and changes nothing
    ModalScript script;
    script.Then([](XGDialog& d) { d.ClickControl(TRecompressDialog::kOK); }).Click(kXGAlertOK);
    Select(form, TtxstEditForm::kList, {2});
    XGGuard([&] { form->Send(kXGMenuMessage, TtxstEditForm::kCommandRecompressTextures, 0); });
    EXPECT_TRUE(script.Shown().back().Mentions("Stack 1, texture 2 (alpha 32 x 32): "));
    EXPECT_FALSE(form->HasChanges());

    put_be32(data, 4, 9999); // the first stack's offset past the data
    tag_entry* broken = MakeTag("txst", data, "broken");
    form = dynamic_cast<TtxstEditForm*>(Open(broken));
    EXPECT_NE(form->GetNote().find("Nothing in it can be edited"), std::string::npos) << form->GetNote();
    EXPECT_EQ(dynamic_cast<XGListControl*>(View(form, TtxstEditForm::kList))->GetItemCount(), 0);
    EXPECT_FALSE(form->HasChanges());
}

TEST_F(MediaFormTest, SpriteEditsChangeTheirBytesAndSequencesPlayAtTheirTicks)
{
    auto def = create_sprite_definition(2, 1, 2);
    def->frames[0].texture_stack = def->frames[1].texture_stack = NONE_TAG;
    def->frames[1].texture_index = 1;
    sprite_sequence& walk = def->sequences[0];
    walk.record.num_steps = 2;
    walk.frames = {0, 1};
    walk.ticks = {3, 2};
    walk.scales = {65536, 65536};
    walk.sound_tags = {NONE_TAG, NONE_TAG};
    tag_entry* e = MakeTag("spri", {});
    write_sprite_definition(*def, e);
    const bytes original = Data(e);
    auto* form = dynamic_cast<TspriEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());

    // each field changes its four bytes; the first header value too
    struct edit {
        int32_t control;
        const char* text;
        size_t offset; // in the tag's data
    };
    const size_t frame1 = 28 + 128, steps = 28 + 2 * 128 + 40;
    Select(form, TspriEditForm::kFrames, {1});
    Select(form, TspriEditForm::kSteps, {1});
    for (const edit& x : {edit{TspriEditForm::kHeaderValues, "7", 8}, edit{TspriEditForm::kStackIndex, "2", frame1 + 100},
                          edit{TspriEditForm::kPlacement + 5, "1.5", frame1 + 20},
                          edit{TspriEditForm::kStepTicks, "9", steps + 2 * 4 + 4},
                          edit{TspriEditForm::kStepScale, "2.0", steps + 64 + 4}}) {
        SCOPED_TRACE(x.control);
        Type(form, x.control, x.text);
        ASSERT_TRUE(form->HasChanges());
        form->ApplyChanges();
        bytes after = Data(e);
        for (size_t i = 0; i < after.size(); ++i) {
            if (i >= x.offset && i < x.offset + 4) continue;
            ASSERT_EQ(after[i], original[i]) << "byte " << i;
        }
        EXPECT_NE(bytes(after.begin() + long(x.offset), after.begin() + long(x.offset + 4)),
                  bytes(original.begin() + long(x.offset), original.begin() + long(x.offset + 4)));
        tag_set_data(e, original.data(), uint32_t(original.size()));
        form->LoadTag();
        Select(form, TspriEditForm::kFrames, {1});
        Select(form, TspriEditForm::kSteps, {1});
    }

    // steps are added after the selected one as a copy of it
    View(form, TspriEditForm::kAddStep)->Click();
    const sprite_sequence& s = form->GetDefinition()->sequences[0];
    ASSERT_EQ(s.record.num_steps, 3);
    EXPECT_EQ(s.frames[2], 1);
    EXPECT_EQ(s.ticks[2], 2);
    View(form, TspriEditForm::kDeleteStep)->Click();
    EXPECT_EQ(s.record.num_steps, 2);
    EXPECT_FALSE(form->HasChanges());

    // Play Sequence: 3 ticks of frame 0, 2 of frame 1, then again, at 30 ticks a second
    int64_t now = 1000;
    form->SetClock([&now] { return now; });
    View(form, TspriEditForm::kPlay)->Click();
    ASSERT_TRUE(form->IsPlaying());
    const std::pair<int64_t, int32_t> times[] = {{0, 0}, {99, 0}, {100, 1}, {166, 1}, {167, 0}, {1000, 0}, {1100, 1}};
    for (auto [elapsed, step] : times) {
        now = 1000 + elapsed;
        EXPECT_EQ(form->PlayTurn(), step) << elapsed << " ms";
    }
    now = 1100;
    fApp->RunPeriodicTasks();
    EXPECT_EQ(form->GetText(TspriEditForm::kPlayState), "Step 2 of 2: frame 1");
    View(form, TspriEditForm::kPlay)->Click();
    EXPECT_FALSE(form->IsPlaying());
}

TEST_F(MediaFormTest, SpriteTextThatIsNotANumberKeepsItsRowAndRowsStayWithinTheirLimits)
{
    tag_entry* e = MakeTag("spri", {});
    write_sprite_definition(*create_sprite_definition(2, 1, 2), e);
    const bytes original = Data(e);
    auto* form = dynamic_cast<TspriEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);
    Select(form, TspriEditForm::kFrames, {1});
    Type(form, TspriEditForm::kPlacement + 5, "1,5");
    {
        // another frame, or a new one, would refill the fields: both are refused
        ModalScript script;
        script.Click(kXGAlertOK).Click(kXGAlertOK);
        Select(form, TspriEditForm::kFrames, {0});
        View(form, TspriEditForm::kAddFrame)->Click();
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_TRUE(script.Shown()[0].Mentions("\"1,5\""));
        EXPECT_TRUE(script.Shown()[0].Mentions("The row was not changed."));
        EXPECT_TRUE(script.Shown()[1].Mentions("Nothing was changed."));
    }
    EXPECT_EQ(form->GetControlValue(TspriEditForm::kFrames), 1);
    EXPECT_EQ(form->GetText(TspriEditForm::kPlacement + 5), "1,5");
    EXPECT_EQ(form->GetDefinition()->num_frames(), 2);
    EXPECT_THROW(form->ApplyFromControls(), XGError);
    EXPECT_EQ(Data(e), original);
    Type(form, TspriEditForm::kPlacement + 5, "1.5");
    Select(form, TspriEditForm::kFrames, {0});
    EXPECT_EQ(form->GetControlValue(TspriEditForm::kFrames), 0);
    EXPECT_EQ(form->GetDefinition()->frames[1].placement[5], 3 * 32768);

    // frames and sequences stay within their limits
    auto def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, 0);
    for (sprite_frame& f : def->frames) f.texture_stack = NONE_TAG;
    e = MakeTag("spri", {}, "full");
    write_sprite_definition(*def, e);
    form = dynamic_cast<TspriEditForm*>(Open(e));
    EXPECT_FALSE(View(form, TspriEditForm::kAddFrame)->IsEnabled());
    EXPECT_FALSE(View(form, TspriEditForm::kAddSequence)->IsEnabled());
    View(form, TspriEditForm::kDeleteFrame)->Click();
    View(form, TspriEditForm::kDeleteSequence)->Click();
    EXPECT_TRUE(View(form, TspriEditForm::kAddFrame)->IsEnabled());
    form->ApplyChanges();
    def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, MAX_SPRITE_STEPS);
    ASSERT_TRUE(read_sprite_definition(*def, e, false));
    EXPECT_EQ(def->num_frames(), MAX_SPRITE_FRAMES - 1);
    EXPECT_EQ(def->num_sequences(), MAX_SPRITE_SEQUENCES - 1);

    tag_entry* over = MakeTag("spri", bytes(28, 0), "over");
    bytes data = Data(over);
    put_be32(data, 4, MAX_SPRITE_SEQUENCES + 1);
    tag_set_data(over, data.data(), uint32_t(data.size()));
    form = dynamic_cast<TspriEditForm*>(Open(over));
    EXPECT_NE(form->GetNote().find("MAX_SPRITE_SEQUENCES"), std::string::npos) << form->GetNote();
}

TEST_F(MediaFormTest, ProtectedMediaTagsAreShownButNotChanged)
{
    tag_entry* stack = MakeTag("txst", {});
    const bytes stackBytes = TextureBytes(stack);
    tag_entry* sprite = MakeTag("spri", {});
    write_sprite_definition(*create_sprite_definition(2, 1, 2), sprite);
    tag_entry* sound = MakeTag("soun", SoundBytes(), "sound");
    fFile->read_only = true;

    auto* txst = dynamic_cast<TtxstEditForm*>(Open(stack));
    ASSERT_NE(txst, nullptr);
    ASSERT_TRUE(txst->IsReadOnly());
    Select(txst, TtxstEditForm::kList, {1});
    // what only changes the picture stays; what changes the stack does not
    for (int32_t c : {TtxstEditForm::kZoom, TtxstEditForm::kAlpha, TtxstEditForm::kExport, TtxstEditForm::kTextureInfo})
        EXPECT_TRUE(View(txst, c)->IsEnabled()) << c;
    for (int32_t c : {TtxstEditForm::kAddImage, TtxstEditForm::kNewStack, TtxstEditForm::kDelete, TtxstEditForm::kRecompress})
        EXPECT_FALSE(View(txst, c)->IsEnabled()) << c;
    EXPECT_FALSE(Enabled(txst, TtxstEditForm::kCommandRecompressTextures));
    EXPECT_FALSE(Enabled(txst, TtxstEditForm::kCommandSplitRGBA));
    {
        ModalScript script;
        script.Then([](XGDialog& d) {
            EXPECT_FALSE(d.FindView(3)->IsEnabled()); // shown, not editable
            d.FindView(3)->SetText("7");
            d.ClickControl(100);
        });
        View(txst, TtxstEditForm::kTextureInfo)->Click();
        EXPECT_EQ(script.Shown().size(), 1u);
    }
    EXPECT_FALSE(txst->HasChanges());

    auto* spri = dynamic_cast<TspriEditForm*>(Open(sprite));
    ASSERT_TRUE(spri->IsReadOnly());
    Select(spri, TspriEditForm::kFrames, {1});
    EXPECT_EQ(spri->GetControlValue(TspriEditForm::kFrames), 1);
    EXPECT_FALSE(View(spri, TspriEditForm::kAddFrame)->IsEnabled());
    EXPECT_FALSE(View(spri, TspriEditForm::kDeleteFrame)->IsEnabled());

    auto* soun = dynamic_cast<TsounEditForm*>(Open(sound));
    ASSERT_TRUE(soun->IsReadOnly());
    EXPECT_TRUE(View(soun, TsounEditForm::kPlay)->IsEnabled());
    EXPECT_FALSE(View(soun, TsounEditForm::kAdd)->IsEnabled());
    EXPECT_FALSE(View(soun, TsounEditForm::kRemove)->IsEnabled());
    EXPECT_EQ(Data(stack), stackBytes);
}

TEST_F(MediaFormTest, GroundSpriteSetsStoreWhatTheCoreStores)
{
    texture_image grey{16, 16, 1, std::vector<uint8_t>(256, 120)};
    std::string mask = fData / "mask.jpg";
    write_file(mask, jpeg_encode(grey.pixels.data(), 16, 16, 1, 80));
    TGroundSprites ground;
    ground.set(1).density = 12;
    ground.GetMask(1, mask);
    tag_entry* e = MakeTag("grsp", {});
    ground.Commit(e);
    const bytes original = Data(e);
    auto* form = dynamic_cast<TgrspEditForm*>(Open(e));
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(form->GetText(TgrspEditForm::Control(1, TgrspEditForm::kMaskName)), "mask.jpg");
    auto* picture = dynamic_cast<TBitmapView*>(View(form, TgrspEditForm::Control(1, TgrspEditForm::kMaskPicture)));
    EXPECT_EQ(picture->GetImage().size(), QSize(16, 16));

    ModalScript script;
    answer_pick_list(script, "target (tgt_)");
    View(form, TgrspEditForm::Control(3, TgrspEditForm::kSprite))->Click();
    Type(form, TgrspEditForm::Control(0, TgrspEditForm::kDensity), "40");
    script.File(mask);
    View(form, TgrspEditForm::Control(2, TgrspEditForm::kGetMask))->Click();
    View(form, TgrspEditForm::Control(1, TgrspEditForm::kClearMask))->Click();
    EXPECT_TRUE(form->HasChanges());
    form->ApplyChanges();
    EXPECT_FALSE(form->HasChanges());
    ground.set(3).sprite_definition = code("tgt_");
    ground.set(0).density = 40;
    ground.GetMask(2, mask);
    ground.ClearMask(1);
    EXPECT_EQ(Data(e), CoreResult("grsp", original, [&](tag_entry* t) { ground.Commit(t); }));

    // a mask that is not a JPEG names the file and changes nothing
    const bytes before = Data(e);
    std::string text = fData / "notes.jpg";
    write_text(text, "not a picture");
    script.File(text).Click(kXGAlertOK);
    View(form, TgrspEditForm::Control(0, TgrspEditForm::kGetMask))->Click();
    EXPECT_TRUE(script.Shown().back().Mentions(text));
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(Data(e), before);
}
