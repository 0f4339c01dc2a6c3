#pragma once
// The field names of the catalogue table ISO5817, in the order in which the
// table holds them.  Everything that reads a catalogue text names its field
// with these.

namespace veltrano::field {

inline constexpr char kGroup[] = "Gruppe";                            // the group of the imperfection
inline constexpr char kThickness[] = "tmm";                           // the thickness range of the row
inline constexpr char kImperfection[] = "Unregelm\u00E4\u00DFigkeit"; // the name of the imperfection
inline constexpr char kReference[] = "OrdnungsNr";                    // its reference number(s)
inline constexpr char kRemarks[] = "Bemerkungen";
inline constexpr char kLevelD[] = "niedrigD"; // the limit text of quality level D
inline constexpr char kLevelC[] = "mittelC";  // of level C
inline constexpr char kLevelB[] = "hochB";    // of level B

} // namespace veltrano::field
