#include "script/unit_stats_fields.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "script/unit_stats.h"
#include "tags/tag_units.h"

namespace {

using enum stat_unit;

#define MONS(name, unit, digits) {#name, unit, digits, offsetof(monster_stats, name), -1}
#define ATTK(name, unit, digits) {#name, unit, digits, offsetof(attack_stats, name), -1}
#define OBJE(name, unit, digits) {#name, unit, digits, offsetof(object_stats, name), -1}
#define PROJ(name, unit, digits) {#name, unit, digits, offsetof(projectile_stats, name), -1}
#define RANGE(record, name, unit, digits, lower) {#name, unit, digits, offsetof(record, name), offsetof(record, lower)}

const stat_field kMonster[] = {
    MONS(left_handed_fraction, fraction16, 4),
    MONS(turning_speed, rate, 2),
    MONS(hard_death_system_shock, fraction16, 4),
    MONS(flinch_system_shock, fraction16, 4),
    MONS(absorbed_fraction, fraction16, 4),
    MONS(healing_fraction, fixed8, 3),
    MONS(combined_power, integer, 0),
    MONS(longest_range, world_distance, 3),
    MONS(experience_point_value, integer, 0),
    MONS(cost, integer, 0),
    MONS(pathfinding_radius, world_distance, 3),
    MONS(maximum_mana, fixed8, 3),
    MONS(mana_recharge_rate, fixed8, 3),
    MONS(berserk_system_shock, fraction16, 4),
    MONS(berserk_vitality, fraction16, 4),
    MONS(kills_for_maximum_experience_bonus, integer, 0),
    MONS(experience_bonus_size, integer, 0),
    MONS(experience_bonus_radius, world_distance, 3),
    MONS(blocking_fraction, fraction16, 3),
    MONS(warning_distance, world_distance, 3),
    MONS(critical_distance, world_distance, 3),
    MONS(activation_distance, world_distance, 3),
    MONS(initial_ammunition_lower_bound, integer, 0),
    RANGE(monster_stats, initial_ammunition_delta, integer, 0, initial_ammunition_lower_bound),
    MONS(maximum_ammunition_count, integer, 0),
    MONS(base_movement_speed, world_distance, 3),
};

const stat_field kAttack[] = {
    ATTK(minimum_range, world_distance, 3),
    ATTK(maximum_range, world_distance, 3),
    ATTK(repetitions, integer, 0),
    ATTK(miss_fraction, fraction16, 4),
    ATTK(initial_velocity_lower_bound, world_distance, 3),
    RANGE(attack_stats, initial_velocity_delta, world_distance, 3, initial_velocity_lower_bound),
    ATTK(initial_velocity_error, world_distance, 3),
    ATTK(velocity_improvement_with_experience, world_distance, 3),
    ATTK(recovery_time, ticks, 6),
    ATTK(recovery_time_experience_delta, ticks, 6),
    ATTK(mana_cost, fixed8, 3),
};

const stat_field kObject[] = {
    OBJE(maximum_vitality, fixed8, 3),
    RANGE(object_stats, maximum_vitality_delta, fixed8, 3, maximum_vitality),
    OBJE(scale_lower_bound, fixed8, 3),
    RANGE(object_stats, scale_delta, fixed8, 3, scale_lower_bound),
    OBJE(minimum_damage, fixed8, 3),
};

const stat_field kProjectile1[] = {
    PROJ(detonation_frequency, fraction16, 4),
    PROJ(media_detonation_frequency, fraction16, 4),
    PROJ(detonation_velocity, world_distance, 3),
};

const stat_field kProjectile2[] = {
    PROJ(inertia_lower_bound, fixed8, 3),
    RANGE(projectile_stats, inertia_delta, fixed8, 3, inertia_lower_bound),
    PROJ(random_initial_velocity, world_distance, 3),
};

const stat_field kProjectile3[] = {
    PROJ(tracking_priority, integer, 0),
    PROJ(guided_turning_speed, rate, 2),
};

const stat_field kProjectile4[] = {
    PROJ(damage_lower_bound, fixed8, 3),
    RANGE(projectile_stats, damage_delta, fixed8, 3, damage_lower_bound),
    PROJ(radius_lower_bound, world_distance, 3),
    RANGE(projectile_stats, radius_delta, world_distance, 3, radius_lower_bound),
    PROJ(rate_of_expansion, world_distance, 3),
    PROJ(damage_to_velocity, fixed8, 3),
};

#undef MONS
#undef ATTK
#undef OBJE
#undef PROJ
#undef RANGE

bool IsUnsigned(stat_unit unit)
{
    return unit == fraction16 || unit == rate;
}

int32_t RawAt(const void* record, int offset, bool is_unsigned)
{
    uint16_t bits;
    std::memcpy(&bits, static_cast<const uint8_t*>(record) + offset, sizeof bits);
    return is_unsigned ? int32_t(bits) : int32_t(int16_t(bits));
}

void StoreRaw(void* record, int offset, int32_t raw)
{
    uint16_t bits = uint16_t(raw);
    std::memcpy(static_cast<uint8_t*>(record) + offset, &bits, sizeof bits);
}

// A leading '+' that a sign or digit follows; from_chars takes only '-'.
const char* SkipPlus(const char* first, const char* last)
{
    if (last - first >= 2 && first[0] == '+' && first[1] != '+' && first[1] != '-') return first + 1;
    return first;
}

[[noreturn]] void OutOfRange(TScriptLine& line, const char* name)
{
    line.fail(field_message(name, "parameter out of range"));
}

// The raw value of the field's unit for the number the line gives.
int64_t ReadRaw(TScriptLine& line, const stat_field& f)
{
    switch (f.unit) {
    case integer:
        return read_integer(line, f.name);
    case fraction16:
        return encode_fraction16(read_decimal(line, f.name));
    case fixed8:
        return fixed8_raw(read_decimal(line, f.name));
    case world_distance:
        return world_distance_raw(read_decimal(line, f.name));
    case rate: {
        int64_t angle = angle16_raw(read_decimal(line, f.name));
        return angle < 0 ? -1 : angle / 30;
    }
    case ticks: {
        double count = std::round(read_decimal(line, f.name) * 30.0);
        return std::fabs(count) < 1e12 ? int64_t(count) : INT64_MAX;
    }
    }
    return 0;
}

} // namespace

const stat_fields monster_stat_fields{kMonster};
const stat_fields attack_stat_fields{kAttack};
const stat_fields object_stat_fields{kObject};
const stat_fields projectile_stat_fields_1{kProjectile1};
const stat_fields projectile_stat_fields_2{kProjectile2};
const stat_fields projectile_stat_fields_3{kProjectile3};
const stat_fields projectile_stat_fields_4{kProjectile4};

int32_t stat_raw(const void* record, const stat_field& f)
{
    return RawAt(record, f.offset, IsUnsigned(f.unit));
}

std::string stat_text(const void* record, const stat_field& f)
{
    int32_t raw = stat_raw(record, f);
    if (f.lower >= 0) raw = range_upper_bound(int16_t(RawAt(record, f.lower, false)), int16_t(raw));
    switch (f.unit) {
    case integer:
        return std::to_string(raw);
    case fraction16:
        return format_trimmed(fraction16_value(uint16_t(raw)), f.digits);
    case fixed8:
        return format_trimmed(fixed8_value(raw), f.digits);
    case world_distance:
        return format_trimmed(world_distance_value(raw), f.digits);
    case rate:
        return format_trimmed(angle16_degrees(uint32_t(raw)) * 30.0, f.digits);
    case ticks:
        return format_decimal(raw / 30.0, 6);
    }
    return {};
}

void read_stat(TScriptLine& line, void* record, const stat_field& f)
{
    int64_t raw = ReadRaw(line, f);
    int64_t low = IsUnsigned(f.unit) ? 0 : INT16_MIN;
    int64_t high = IsUnsigned(f.unit) ? UINT16_MAX : INT16_MAX;
    if (raw < low || raw > high) OutOfRange(line, f.name);
    if (f.lower >= 0) {
        int32_t lower = RawAt(record, f.lower, false);
        if (raw < lower) line.fail(field_message(f.name, "parameter out of range (below the lower bound)"));
        int64_t delta = raw == lower ? 0 : raw - lower + 1;
        if (delta > INT16_MAX) OutOfRange(line, f.name);
        raw = delta;
    }
    StoreRaw(record, f.offset, int32_t(raw));
}

bool parse_decimal(const std::string& token, double& value)
{
    const char* last = token.data() + token.size();
    auto [end, error] = std::from_chars(SkipPlus(token.data(), last), last, value, std::chars_format::general);
    return error == std::errc() && end == last && std::isfinite(value);
}

bool parse_integer(const std::string& token, int64_t& value)
{
    const char* first = token.data();
    const char* last = first + token.size();
    const bool negative = first != last && *first == '-';
    const char* digits = first != last && (*first == '-' || *first == '+') ? first + 1 : first;
    const char* end = digits;
    while (end != last && *end >= '0' && *end <= '9') ++end;
    if (end == digits) return false;
    uint64_t magnitude = 0;
    auto [stop, error] = std::from_chars(digits, end, magnitude);
    if (error != std::errc() || magnitude > uint64_t(INT64_MAX)) magnitude = uint64_t(INT64_MAX); // out of any range
    value = negative ? -int64_t(magnitude) : int64_t(magnitude);
    return true;
}

double decimal_value(TScriptLine& line, const char* name, const std::string& token)
{
    double value = 0;
    if (!parse_decimal(token, value) || std::fabs(value) > FLT_MAX)
        line.fail(field_message(name, "parameter is not a number"));
    return double(float(value));
}

int64_t integer_value(TScriptLine& line, const char* name, const std::string& token)
{
    int64_t value = 0;
    if (!parse_integer(token, value)) line.fail(field_message(name, "parameter is not a number"));
    return value;
}

double read_decimal(TScriptLine& line, const char* name)
{
    return decimal_value(line, name, line.field(name));
}

int64_t read_integer(TScriptLine& line, const char* name)
{
    return integer_value(line, name, line.field(name));
}
