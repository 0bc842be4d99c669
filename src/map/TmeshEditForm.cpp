// The map header form, "Mesh Terrain Window": the tags the map names, its flags and game
// scoring types, and its numbers. Details and Collapsed Detail hold tags only when the
// header's extension marker is 0xFEDC; assigning either sets the marker.
#include <cstddef>
#include <map>
#include <string>

#include "map/TmeshEditForm.h"
#include "map/mesh_format.h"
#include "shell/TStructEditForm.h"
#include "tags/tag_code.h"

namespace {

using T = mesh_header;

enum : int32_t {
    kLandscape = 11301, kMedia = 11303, kGlobalLights = 11305, kParticles = 11307, kAmbientSound = 11309,
    kDescription = 11311, kWind = 11313, kNarration = 11315, kConnector = 11317, kHints = 11319,
    kPregame = 11321, kOverhead = 11323, kPostgame = 11325, kNextSuccess = 11327, kNextFailure = 11329,
    kFirstMapFlag = 11331, kStoryline = 11346, kCaptions = 11348, kFirstScoring = 11350, kTeamCount = 11364,
    kCeiling = 11365, kEdgeTop = 11366, kEdgeLeft = 11367, kEdgeRight = 11368, kEdgeBottom = 11369,
    kEnvironment = 11405, kDetails = 11450, kGroundSprites = 11452, kLevelPicture = 11500, kCollapsed = 11501,
    kZoomHere = 11601, kZoomSpeed = 11603, kScrollSpeed = 11604, kBackground = 11700, kScrollingText = 11704,
    kTextSpeed = 11708, kMusic = 11710, kMovies = 11800,
};

std::vector<TFieldBinding> flag_bits(int32_t control, int first_bit, int count)
{
    std::vector<TFieldBinding> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(bind_flag(control + i, int32_t(offsetof(T, flags)), uint32_t(1) << (first_bit + i)));
    return rows;
}

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kLandscape, offsetof(T, landscape_tag), "txst"_4cc),
        bind_tag(kMedia, offsetof(T, media_tag), "medi"_4cc),
        bind_tag(kGlobalLights, offsetof(T, global_lights_tag), "glli"_4cc),
        bind_tag(kGroundSprites, offsetof(T, ground_sprites_tag), "grsp"_4cc),
        bind_tag(kEnvironment, offsetof(T, environment_map_tag), "txst"_4cc),
        bind_tag(kParticles, offsetof(T, particle_system_tag), "part"_4cc),
        bind_tag(kAmbientSound, offsetof(T, ambient_sound_tag), "amso"_4cc),
        bind_tag(kDescription, offsetof(T, map_description_tag), "stli"_4cc),
        bind_tag(kWind, offsetof(T, wind_tag), "wind"_4cc),
        bind_tag(kNarration, offsetof(T, narration_sound_tag), "soun"_4cc),
        bind_tag(kConnector, offsetof(T, connector_tag), "conn"_4cc),
        bind_tag(kHints, offsetof(T, hints_tag), "stli"_4cc),
        bind_tag(kPregame, offsetof(T, pregame_collection_tag), ".256"_4cc),
        bind_tag(kOverhead, offsetof(T, overhead_map_collection_tag), ".256"_4cc),
        bind_tag(kPostgame, offsetof(T, postgame_collection_tag), ".256"_4cc),
        bind_tag(kNextSuccess, offsetof(T, next_mesh_tags), "mesh"_4cc),
        bind_tag(kNextFailure, offsetof(T, next_mesh_tags) + 4, "mesh"_4cc),
        bind_tag(kStoryline, offsetof(T, pregame_storyline_tag), "text"_4cc),
        bind_tag(kCaptions, offsetof(T, picture_captions_tag), "stli"_4cc),
        bind_tag(kLevelPicture, offsetof(T, level_picture_tag), ".256"_4cc),
        tag_series(kBackground, offsetof(T, background_picture_tags), 2, "jpeg"_4cc),
        tag_series(kScrollingText, offsetof(T, scrolling_text_tags), 2, "text"_4cc),
        value_series(kTextSpeed, offsetof(T, scrolling_text_speeds), 2, 2, kInteger16Unit),
        value_series(kZoomHere, offsetof(T, zoom_here), 2, 4, kInteger32Unit),
        bind_value(kZoomSpeed, offsetof(T, zoom_speed), kFixed16SignedUnit),
        bind_value(kScrollSpeed, offsetof(T, scrolling_text_speed), kInteger32Unit),
        flag_bits(kFirstMapFlag, 16, 12),
        flag_bits(kFirstScoring, 0, 14),
        bind_value(kTeamCount, offsetof(T, team_count), kUnsigned32Unit),
        bind_value(kCeiling, offsetof(T, ceiling_height), kWorldUnitsUnit),
        bind_value(kEdgeTop, offsetof(T, edge_buffer_zone), kInteger16Unit),
        bind_value(kEdgeLeft, offsetof(T, edge_buffer_zone) + 2, kInteger16Unit),
        bind_value(kEdgeBottom, offsetof(T, edge_buffer_zone) + 4, kInteger16Unit),
        bind_value(kEdgeRight, offsetof(T, edge_buffer_zone) + 6, kInteger16Unit),
    });
    return table;
}

bool Assigned(tag_code id)
{
    return id != NONE_TAG && id != 0;
}

class TmeshEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1013;
    explicit TmeshEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void FillControls() override
    {
        TStructEditForm::FillControls();
        bool extended = fCopy.extension_marker == MESH_EXTENSION_MARKER;
        SetTagRef(kDetails, "txst"_4cc, extended ? fCopy.details_tag : NONE_TAG);
        SetTagRef(kCollapsed, "txst"_4cc, extended ? fCopy.collapsed_detail_tag : NONE_TAG);
        for (int i = 0; i < 2; ++i) ShowId(kMusic + i, fCopy.storyline_music_tags[i]);
        for (int i = 0; i < 3; ++i) ShowId(kMovies + i, fCopy.cutscene_movies[i]);
    }

    void ReadControls() override
    {
        TStructEditForm::ReadControls();
        tag_code details = GetTagRef(kDetails), collapsed = GetTagRef(kCollapsed);
        if (fCopy.extension_marker != MESH_EXTENSION_MARKER && (Assigned(details) || Assigned(collapsed)))
            fCopy.extension_marker = MESH_EXTENSION_MARKER;
        if (fCopy.extension_marker == MESH_EXTENSION_MARKER) {
            fCopy.details_tag = details;
            fCopy.collapsed_detail_tag = collapsed;
        }
        for (int i = 0; i < 2; ++i) ReadId(kMusic + i, fCopy.storyline_music_tags[i]);
        for (int i = 0; i < 3; ++i) ReadId(kMovies + i, fCopy.cutscene_movies[i]);
    }

private:
    void ShowId(int32_t control, tag_code id)
    {
        std::string text = tag_code_to_text(id);
        SetText(control, text);
        fShown[control] = text;
    }
    // An untouched text keeps the id it was filled from (0 and -1 both show as "____").
    void ReadId(int32_t control, tag_code& id)
    {
        std::string text = GetText(control);
        if (text != fShown[control]) id = TextId(text);
    }

    std::map<int32_t, std::string> fShown;

    static tag_code TextId(const std::string& text)
    {
        return text.empty() ? NONE_TAG : text_to_tag_code(text.substr(0, 4));
    }
};

} // namespace

void* open_mesh_header_editor(tag_entry* e)
{
    return TTagEditForm::Open<TmeshEditForm>(e, TmeshEditForm::kResource);
}
