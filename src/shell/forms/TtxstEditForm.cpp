#include "shell/forms/TtxstEditForm.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QSaveFile>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "framework/XGError.h"
#include "framework/XGFileSpecifier.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "shell/TBitmapView.h"
#include "shell/forms/editor_forms.h"
#include "texture/TRecompressDialog.h"
#include "texture/TTextureInfoDialog.h"
#include "texture/jpeg_codec.h"
#include "texture/texture_import.h"
#include "texture/texture_pixels.h"
#include "texture/texture_qimage.h"
#include "texture/texture_text.h"
#include "texture/txst_format.h"

XG_BEGIN_DISPATCH(TtxstEditForm, TTagEditForm)
    XG_ON(kXGStatusMessage, &TtxstEditForm::DoStatus)
    XG_ON(kXGMenuMessage, &TtxstEditForm::DoMenu)
XG_END_DISPATCH()

namespace {

constexpr double kZooms[] = {0, 0.25, 0.5, 1, 2, 4, 8}; // 0: fit the view
constexpr int kExportQuality = 95;

recompress_choice& LastRecompression()
{
    static recompress_choice choice;
    return choice;
}

// The colour channels alone: 4 channels lose their alpha, 2 keep their luminance.
texture_image ColourOnly(const texture_image& image)
{
    if (image.channels != 2 && image.channels != 4) return image;
    texture_image out{image.width, image.height, image.channels - 1, {}};
    out.pixels.reserve(out.size());
    for (size_t i = 0; i < image.pixels.size(); i += image.channels)
        out.pixels.insert(out.pixels.end(), image.pixels.begin() + long(i), image.pixels.begin() + long(i + out.channels));
    return out;
}

void WriteFile(const std::string& path, const QByteArray& bytes)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw XGError(kXGError, "Export Texture",
                      "The file \"" + path + "\" cannot be written: " + file.errorString().toStdString() + ".");
}

// Runs an operation on one texture; its errors name the texture.
template <class Operation>
void OnTexture(const std::string& texture, const char* title, Operation operation)
{
    try {
        operation();
    } catch (const XGError& e) {
        throw XGError(kXGError, title, texture + ": " + e.GetMessage());
    }
}

// The texture as a JPEG (its colour channels) or PNG file.
QByteArray ExportBytes(const stacked_texture& t, bool jpeg)
{
    if (jpeg && t.format == TEXTURE_FORMAT_JPEG && (t.channels == 1 || t.channels == 3)) {
        // the stored stream is already the file
        return QByteArray(reinterpret_cast<const char*>(t.compressed_data.data()), qsizetype(t.data_size()));
    }
    texture_image image = decode_texture_or_fail(t, true);
    QByteArray bytes;
    if (jpeg) {
        image = ColourOnly(image);
        std::vector<uint8_t> stream = jpeg_encode(image.pixels.data(), image.width, image.height, image.channels,
                                                  kExportQuality);
        return QByteArray(reinterpret_cast<const char*>(stream.data()), qsizetype(stream.size()));
    }
    QImage picture = texture_qimage(image);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        throw XGError(kXGError, "Export Texture", "the picture cannot be made into a PNG image.");
    return bytes;
}

// The side of the list's pictures in the view resource.
constexpr int kListIconSide = 64;

// Runs work on one of the program's worker threads.
std::future<void> Aside(std::function<void()> work)
{
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
    std::future<void> done = task->get_future();
    QThreadPool::globalInstance()->start([task] { (*task)(); });
    return done;
}

// Makes the previews of these textures, on two threads when there are several.
void MakePreviews(const std::vector<stacked_texture*>& textures, uint32_t side)
{
    const size_t half = textures.size() / 2;
    auto make = [&textures, side](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) make_preview(*textures[i], side);
    };
    if (half == 0) return make(0, textures.size());
    std::future<void> other = Aside([&make, half, &textures] { make(half, textures.size()); });
    make(0, half);
    other.wait();
}

std::vector<stacked_texture*> WithoutPreview(texture_set& set)
{
    std::vector<stacked_texture*> textures;
    for (uint32_t s = 0; s < set.stack_count(); ++s)
        for (auto& t : set.stacks[s].textures)
            if (!t->preview) textures.push_back(t.get());
    return textures;
}

std::string Lower(std::string text)
{
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

TtxstEditForm::TtxstEditForm(tag_entry* e) : TTagEditForm(e)
{
    PrepareSet();
}

TtxstEditForm::~TtxstEditForm()
{
    if (fPrepared.previews.valid()) fPrepared.previews.wait();
}

void TtxstEditForm::PrepareSet()
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(GetTag(), &size);
    if (!data) return;
    try {
        fPrepared.set = read_texture_set(GetTag());
    } catch (const XGError&) {
        return; // LoadTag reads it again and says why
    }
    fPrepared.bytes.assign(data, data + size);
    fPrepared.side = uint32_t(std::ceil(kListIconSide * qGuiApp->devicePixelRatio()));
    fPrepared.previews = Aside([textures = WithoutPreview(*fPrepared.set), side = fPrepared.side] {
        for (stacked_texture* t : textures) make_preview(*t, side);
    });
}

std::unique_ptr<texture_set> TtxstEditForm::TakePreparedSet()
{
    Prepared prepared = std::move(fPrepared);
    fPrepared = {};
    if (!prepared.set) return nullptr;
    prepared.previews.wait();
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(GetTag(), &size);
    if (!data || size != prepared.bytes.size() || std::memcmp(data, prepared.bytes.data(), size) != 0) return nullptr;
    fPreviewSide = prepared.side;
    return std::move(prepared.set);
}

void TtxstEditForm::LoadTag()
{
    fPreviewed = nullptr;
    fLarge = {};
    try {
        fSet = TakePreparedSet();
        if (!fSet) fSet = read_texture_set(GetTag());
    } catch (const XGError& e) {
        fSet.reset();
        FillList({});
        ShowNote(e.GetMessage() + " Nothing in it can be edited.");
        UpdateCommandButtons();
        return;
    }
    std::string note;
    if (fSet->modified) note = "Stacks without textures were left out; Apply stores the stack without them.";
    FillList({});
    for (const Row& row : fRows) {
        if (row.texture < 0) continue;
        const stacked_texture& t = *fSet->stacks[row.stack].textures[size_t(row.texture)];
        if (t.preview) continue;
        texture_image image;
        std::string why = "it is empty";
        if (t.data_size() > 0) decode_texture(t, {0, false}, image, &why);
        note += (note.empty() ? "" : " ") + Describe(&t) + " cannot be decoded: " + why + ".";
        break;
    }
    ShowNote(note);
    UpdateCommandButtons();
}

bool TtxstEditForm::HasChanges()
{
    return fSet && fSet->modified;
}

void TtxstEditForm::ApplyChanges()
{
    if (!fSet) return;
    std::string why;
    if (!write_texture_set(GetTag(), *fSet, &why)) {
        const tag_entry* e = GetTag();
        std::string file = e->file->path.empty() ? std::string("unsaved file") : tag_file_name(e->file);
        throw XGPostError(kXGFileWriteError, {file + " - The texture stack \"" + tag_get_name(e) +
                                              "\" could not be written (" + why + "); it is unchanged."});
    }
    ShowNote("");
    UpdateCommandButtons();
}

std::string TtxstEditForm::Describe(const stacked_texture* t) const
{
    uint32_t stack = 0, position = 0;
    if (!fSet || !find_texture(*fSet, t, &stack, &position)) return "The texture";
    return "Stack " + std::to_string(stack + 1) + ", texture " + std::to_string(position + 1) + " (" +
           texture_list_text(*t)[0] + ")";
}

void TtxstEditForm::FillList(const std::vector<const stacked_texture*>& textures, int selected_stack)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kList));
    // Previews as large as the list shows them.
    const int32_t iconPixels = list ? list->GetIconPixels() : 0;
    const uint32_t previewSide = iconPixels > 0 ? uint32_t(iconPixels) : 128;
    if (fSet && previewSide != fPreviewSide)
        for (uint32_t s = 0; s < fSet->stack_count(); ++s)
            for (auto& t : fSet->stacks[s].textures) t->preview.reset();
    fPreviewSide = previewSide;
    if (fSet) MakePreviews(WithoutPreview(*fSet), previewSide);
    fRows.clear();
    std::vector<std::string> items;
    std::vector<int32_t> selection;
    const uint32_t stacks = fSet ? fSet->stack_count() : 0;
    for (uint32_t s = 0; s < stacks; ++s) {
        const auto& stack = fSet->stacks[s].textures;
        if (int(s) == selected_stack) selection.push_back(int32_t(fRows.size()));
        fRows.push_back({s, -1});
        items.push_back("Stack " + std::to_string(s + 1) + "   " +
                        (stack.empty() ? std::string("(empty)")
                                       : "(" + std::to_string(stack.size()) +
                                             (stack.size() == 1 ? " texture)" : " textures)")));
        for (size_t j = 0; j < stack.size(); ++j) {
            stacked_texture& t = *stack[j];
            if (std::find(textures.begin(), textures.end(), &t) != textures.end())
                selection.push_back(int32_t(fRows.size()));
            fRows.push_back({s, int32_t(j)});
            std::vector<std::string> lines = texture_list_text(t);
            if (!t.preview) lines[2] += "   (cannot be decoded)";
            items.push_back(lines[0] + "\n" + lines[1] + "\n" + lines[2]);
        }
    }
    if (!list) return;
    list->SetItems(items);
    for (size_t row = 0; row < fRows.size(); ++row) {
        if (fRows[row].texture < 0) continue;
        const stacked_texture& t = *fSet->stacks[fRows[row].stack].textures[size_t(fRows[row].texture)];
        if (t.preview)
            list->SetItemIcon(int32_t(row), texture_qimage_on_checkerboard(*t.preview, std::max(1, int(previewSide / 16))));
    }
    list->SetSelection(selection);
    UpdateControls();
    ShowPreview();
}

void TtxstEditForm::Changed(const std::vector<const stacked_texture*>& select, int selected_stack)
{
    fSet->modified = true;
    fPreviewed = nullptr;
    FillList(select, selected_stack);
    UpdateCommandButtons();
}

std::vector<TtxstEditForm::Row> TtxstEditForm::SelectedRows() const
{
    std::vector<Row> rows;
    auto* list = dynamic_cast<XGListControl*>(FindView(kList));
    if (!list) return rows;
    for (int32_t r : list->GetSelection())
        if (r >= 0 && size_t(r) < fRows.size()) rows.push_back(fRows[size_t(r)]);
    return rows;
}

std::vector<stacked_texture*> TtxstEditForm::SelectedTextures() const
{
    std::vector<stacked_texture*> textures;
    for (const Row& row : SelectedRows())
        if (row.texture >= 0) textures.push_back(fSet->stacks[row.stack].textures[size_t(row.texture)].get());
    return textures;
}

void TtxstEditForm::SelectTextures(const std::vector<const stacked_texture*>& textures)
{
    FillList(textures);
}

bool TtxstEditForm::CanMerge() const
{
    std::vector<stacked_texture*> t = SelectedTextures();
    if (t.size() < 2) return false;
    const stacked_texture* colour = t[0]->channels == 3 ? t[0] : t[1];
    const stacked_texture* alpha = colour == t[0] ? t[1] : t[0];
    return colour->channels == 3 && alpha->channels == 1 && colour->width == alpha->width &&
           colour->height == alpha->height;
}

void TtxstEditForm::UpdateControls()
{
    const bool loaded = fSet != nullptr;
    const std::vector<Row> rows = SelectedRows();
    const bool texture = !SelectedTextures().empty();
    EnableView(kTextureInfo, texture);
    EnableView(kRecompress, texture);
    EnableView(kExport, texture);
    EnableView(kDelete, !rows.empty());
    EnableView(kMoveUp, rows.size() == 1);
    EnableView(kMoveDown, rows.size() == 1);
    EnableView(kAddImage, loaded);
    EnableView(kImportLayers, loaded);
    EnableView(kNewStack, loaded);
}

void TtxstEditForm::ShowPreview()
{
    auto* view = dynamic_cast<TBitmapView*>(FindView(kPreview));
    std::vector<stacked_texture*> textures = SelectedTextures();
    const stacked_texture* t = textures.empty() ? nullptr : textures.front();
    std::string text;
    if (t != fPreviewed) {
        fPreviewed = t;
        fLarge = {};
        std::string why;
        if (t && !decode_texture(*t, {0, true}, fLarge, &why)) {
            fLarge = {};
            text = "cannot be decoded: " + why;
        }
    }
    if (t) {
        std::vector<std::string> lines = texture_list_text(*t);
        text = Describe(t) + ", " + lines[1] + (text.empty() ? "" : ", " + text);
    }
    SetText(kPreviewText, text);
    if (!view) return;
    view->SetImage(fLarge.size() == 0 ? QImage()
                   : GetBoolean(kAlpha) ? texture_qimage_on_checkerboard(fLarge)
                                        : texture_qimage(ColourOnly(fLarge)));
    ShowZoom();
}

void TtxstEditForm::ShowZoom()
{
    auto* view = dynamic_cast<TBitmapView*>(FindView(kPreview));
    if (!view) return;
    const int32_t item = GetControlValue(kZoom);
    double zoom = item > 0 && item < int32_t(std::size(kZooms)) ? kZooms[item] : 0;
    if (zoom == 0 && fLarge.width > 0 && fLarge.height > 0)
        zoom = std::max(0.01, std::min(double(view->GetWidth() - 4) / fLarge.width,
                                       double(view->GetHeight() - 4) / fLarge.height));
    view->SetZoom(zoom > 0 ? zoom : 1);
}

bool TtxstEditForm::HandleControl(XGCode message, int32_t control)
{
    if (!fSet) return false;
    if (control == kList && message == "lsel"_4cc) {
        UpdateControls();
        ShowPreview();
        return true;
    }
    if (control == kList && message == "lval"_4cc) {
        ShowTextureInfo();
        return true;
    }
    if (control == kZoom && message == "pval"_4cc) {
        ShowZoom();
        return true;
    }
    if (message != "cclk"_4cc) return false;
    switch (control) {
    case kAlpha: ShowPreview(); return true;
    case kTextureInfo: ShowTextureInfo(); return true;
    case kRecompress: RecompressTextures(); return true;
    case kAddImage: AddImage(); return true;
    case kImportLayers: ImportLayers(); return true;
    case kNewStack: NewStack(); return true;
    case kDelete: DeleteSelection(); return true;
    case kMoveUp: Move(-1); return true;
    case kMoveDown: Move(1); return true;
    case kExport: Export(); return true;
    default: return false;
    }
}

int32_t TtxstEditForm::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto& s = *reinterpret_cast<XGCommandStatus*>(status);
    std::vector<stacked_texture*> textures = fSet && !IsReadOnly() ? SelectedTextures() : std::vector<stacked_texture*>();
    switch (id) {
    case kCommandSplitRGBA:
        s.enabled = std::any_of(textures.begin(), textures.end(), [](auto* t) { return t->channels == 4; });
        return 0;
    case kCommandMergeRGBAndA: s.enabled = fSet && !IsReadOnly() && CanMerge(); return 0;
    case kCommandRecompressTextures: s.enabled = !textures.empty(); return 0;
    default: return kXGNotHandled;
    }
}

int32_t TtxstEditForm::DoMenu(XGCode, XGParam id, XGParam)
{
    if (!fSet) return kXGNotHandled;
    if (IsReadOnly()) return id == kCommandSplitRGBA || id == kCommandMergeRGBAndA || id == kCommandRecompressTextures ? 0 : kXGNotHandled;
    switch (id) {
    case kCommandSplitRGBA: SplitRGBA(); break;
    case kCommandMergeRGBAndA: MergeRGBAndA(); break;
    case kCommandRecompressTextures: RecompressTextures(); break;
    default: return kXGNotHandled;
    }
    return 0;
}

void TtxstEditForm::SplitRGBA()
{
    std::vector<const stacked_texture*> changed;
    try {
        for (stacked_texture* t : SelectedTextures()) {
            if (t->channels != 4) continue;
            const stacked_texture* alpha = nullptr;
            OnTexture(Describe(t), "Split RGBA", [&] { alpha = split_rgba(*fSet, t); });
            changed.push_back(t);
            changed.push_back(alpha);
        }
    } catch (...) {
        if (!changed.empty()) Changed(changed);
        throw;
    }
    if (!changed.empty()) Changed(changed);
}

void TtxstEditForm::MergeRGBAndA()
{
    std::vector<stacked_texture*> textures = SelectedTextures();
    if (textures.size() < 2) return;
    stacked_texture* merged = nullptr;
    if (CanMerge())
        OnTexture(Describe(textures[0]) + " and " + Describe(textures[1]), "Merge RGB and A",
                  [&] { merged = merge_rgb_and_a(*fSet, textures[0], textures[1]); });
    if (!merged)
        throw XGError(kXGError, "Merge RGB and A",
                      "The first two selected textures must be a 3-channel and a 1-channel texture of the same size.");
    Changed({merged});
}

void TtxstEditForm::RecompressTextures()
{
    std::vector<stacked_texture*> textures = SelectedTextures();
    std::vector<const stacked_texture*> selection(textures.begin(), textures.end());
    recompress_choice& choice = LastRecompression();
    bool for_all = false;
    bool changed = false;
    try {
        for (stacked_texture* t : textures) {
            if (!for_all) {
                choice.for_all = false;
                if (!TRecompressDialog::Run(*t, Describe(t), choice)) break;
                for_all = choice.for_all;
            }
            const std::vector<uint8_t> before = t->compressed_data;
            const uint8_t format = t->format;
            OnTexture(Describe(t), "Recompress Texture", [&] { recompress_texture(*t, choice.quality); });
            changed = changed || t->compressed_data != before || t->format != format;
        }
    } catch (...) {
        if (changed) Changed(selection);
        throw;
    }
    if (changed) Changed(selection);
}

void TtxstEditForm::ShowTextureInfo()
{
    std::vector<stacked_texture*> textures = SelectedTextures();
    if (textures.empty()) return;
    stacked_texture* t = textures.front();
    if (TTextureInfoDialog::Run(*t, Describe(t), IsReadOnly())) Changed({t});
}

void TtxstEditForm::InsertionPoint(uint32_t* stack, int* position)
{
    std::vector<Row> rows = SelectedRows();
    if (rows.empty()) {
        *stack = fSet->stack_count();
        *position = 0;
        return;
    }
    const Row& last = rows.back();
    *stack = last.stack;
    *position = last.texture >= 0 ? last.texture + 1 : int(fSet->stacks[last.stack].textures.size());
}

void TtxstEditForm::AddImage()
{
    std::string path = XGChooseFileToOpen("Image File|*.png;*.jpg;*.jpeg;*.bmp|All Files|*.*", "png");
    if (path.empty()) return;
    QImageReader reader(QString::fromStdString(path));
    QImage picture = reader.read();
    if (picture.isNull())
        throw XGError(kXGError, "Add Image",
                      "\"" + path + "\" cannot be read as an image: " + reader.errorString().toStdString() + ".");
    if (picture.width() > 0xFFFF || picture.height() > 0xFFFF ||
        uint64_t(picture.width()) * uint64_t(picture.height()) > MAXIMUM_TEXTURE_PIXELS)
        throw XGError(kXGError, "Add Image",
                      "\"" + path + "\" is " + std::to_string(picture.width()) + " x " +
                          std::to_string(picture.height()) + " pixels, larger than a texture can be.");
    texture_image pixels = texture_image_from_qimage(picture);
    auto t = std::make_unique<stacked_texture>();
    t->channels = uint8_t(pixels.channels);
    t->width = uint16_t(pixels.width);
    t->height = uint16_t(pixels.height);
    t->compressed_data = std::move(pixels.pixels);
    const stacked_texture* added = t.get();
    uint32_t stack = 0;
    int position = 0;
    InsertionPoint(&stack, &position);
    insert_texture(fSet.get(), stack, position, std::move(t));
    Changed({added});
}

void TtxstEditForm::ImportLayers()
{
    std::string path = XGChooseFileToOpen("Photoshop File|*.PSD", "PSD");
    if (path.empty()) return;
    uint32_t stack = 0;
    int position = 0;
    InsertionPoint(&stack, &position);
    const int count = import_image_into_stack(*fSet, stack, position, path);
    if (count == 0)
        throw XGError(kXGError, "Import Layers", "No layer of \"" + path + "\" gives a texture; nothing was added.");
    std::vector<const stacked_texture*> added;
    for (int k = 0; k < count; ++k) added.push_back(fSet->stacks[stack].textures[size_t(position + k)].get());
    Changed(added);
}

void TtxstEditForm::NewStack()
{
    std::vector<Row> rows = SelectedRows();
    const uint32_t index = rows.empty() ? fSet->stack_count() : rows.back().stack + 1;
    insert_stack(*fSet, index);
    Changed({}, int(index));
}

void TtxstEditForm::DeleteSelection()
{
    std::vector<Row> rows = SelectedRows();
    if (rows.empty()) return;
    std::vector<uint32_t> stacks;
    for (const Row& row : rows)
        if (row.texture < 0) stacks.push_back(row.stack);
    std::vector<stacked_texture*> textures;
    for (const Row& row : rows)
        if (row.texture >= 0 && std::find(stacks.begin(), stacks.end(), row.stack) == stacks.end())
            textures.push_back(fSet->stacks[row.stack].textures[size_t(row.texture)].get());
    for (stacked_texture* t : textures) remove_texture(*fSet, t);
    std::sort(stacks.rbegin(), stacks.rend());
    for (uint32_t s : stacks) fSet->stacks.erase(fSet->stacks.begin() + s);
    Changed({});
}

void TtxstEditForm::Move(int direction)
{
    std::vector<Row> rows = SelectedRows();
    if (rows.size() != 1) return;
    const Row row = rows.front();
    auto& stacks = fSet->stacks;
    if (row.texture < 0) {
        const int64_t other = int64_t(row.stack) + direction;
        if (other < 0 || other >= int64_t(stacks.size())) return;
        std::swap(stacks[row.stack], stacks[size_t(other)]);
        Changed({}, int(other));
        return;
    }
    auto& here = stacks[row.stack].textures;
    const size_t j = size_t(row.texture);
    const stacked_texture* moved = here[j].get();
    if (direction < 0 && j > 0) {
        std::swap(here[j], here[j - 1]);
    } else if (direction > 0 && j + 1 < here.size()) {
        std::swap(here[j], here[j + 1]);
    } else if (direction < 0 && row.stack > 0) {
        // past the top of its stack: to the end of the stack before
        stacks[row.stack - 1].textures.push_back(std::move(here[j]));
        here.erase(here.begin() + long(j));
    } else if (direction > 0 && row.stack + 1 < stacks.size()) {
        auto& next = stacks[row.stack + 1].textures;
        next.insert(next.begin(), std::move(here[j]));
        here.erase(here.begin() + long(j));
    } else {
        return;
    }
    Changed({moved});
}

void TtxstEditForm::Export()
{
    std::vector<stacked_texture*> textures = SelectedTextures();
    if (textures.empty()) return;
    const stacked_texture& t = *textures.front();
    uint32_t stack = 0, position = 0;
    find_texture(*fSet, &t, &stack, &position);
    XGFileRequest request;
    request.save = true;
    request.filter = "PNG Image|*.png|JPEG Image|*.jpg";
    request.defaultExtension = "png";
    request.proposedName = std::string(tag_get_name(GetTag())) + " " + std::to_string(stack + 1) + "-" +
                           std::to_string(position + 1) + ".png";
    std::string path = XGChooseFile(request);
    if (path.empty()) return;
    const std::string extension = Lower(XGFileSpecifier(path).GetExtension());
    const bool jpeg = extension == "jpg" || extension == "jpeg";
    if (!jpeg && extension != "png")
        throw XGError(kXGError, "Export Texture",
                      "Textures are exported as PNG or JPEG files: \"" + path + "\" must end in .png or .jpg.");
    QByteArray bytes;
    OnTexture(Describe(&t), "Export Texture", [&] { bytes = ExportBytes(t, jpeg); });
    WriteFile(path, bytes);
}

void* open_txst_editor(tag_entry* e)
{
    return TTagEditForm::Open<TtxstEditForm>(e, TtxstEditForm::kResource);
}
