#include "programs/Folding.h"

#include <cstddef>

namespace torvex::programs {
namespace {

// U+00C0 to U+00FF, each as its base letter in lower case ('\0': kept as it is).
constexpr char kLatin1[] =
    "aaaaaa\0ceeeeiiii"    // À Á Â Ã Ä Å Æ Ç È É Ê Ë Ì Í Î Ï
    "dnooooo\0ouuuuy\0\0"  // Ð Ñ Ò Ó Ô Õ Ö × Ø Ù Ú Û Ü Ý Þ ß
    "aaaaaa\0ceeeeiiii"    // à á â ã ä å æ ç è é ê ë ì í î ï
    "dnooooo\0ouuuuy\0y";  // ð ñ ò ó ô õ ö ÷ ø ù ú û ü ý þ ÿ

// U+0100 to U+017F, Latin Extended-A: mostly pairs of a capital and its small letter.
constexpr char kExtendedA[] =
    "aaaaaaccccccccdd"    // Ā ā Ă ă Ą ą Ć ć Ĉ ĉ Ċ ċ Č č Ď ď
    "ddeeeeeeeeeegggg"    // Đ đ Ē ē Ĕ ĕ Ė ė Ę ę Ě ě Ĝ ĝ Ğ ğ
    "gggghhhhiiiiiiii"    // Ġ ġ Ģ ģ Ĥ ĥ Ħ ħ Ĩ ĩ Ī ī Ĭ ĭ Į į
    "ii\0\0jjkkklllllll"  // İ ı Ĳ ĳ Ĵ ĵ Ķ ķ ĸ Ĺ ĺ Ļ ļ Ľ ľ Ŀ
    "lllnnnnnnnnnoooo"    // ŀ Ł ł Ń ń Ņ ņ Ň ň ŉ Ŋ ŋ Ō ō Ŏ ŏ
    "oo\0\0rrrrrrssssss"  // Ő ő Œ œ Ŕ ŕ Ŗ ŗ Ř ř Ś ś Ŝ ŝ Ş ş
    "ssttttttuuuuuuuu"    // Š š Ţ ţ Ť ť Ŧ ŧ Ũ ũ Ū ū Ŭ ŭ Ů ů
    "uuuuwwyyyzzzzzzs";   // Ű ű Ų ų Ŵ ŵ Ŷ ŷ Ÿ Ź ź Ż ż Ž ž ſ

}  // namespace

char16_t Folded(char16_t unit) {
    if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit - u'A' + u'a');
    if (unit >= 0x00C0 && unit <= 0x00FF && kLatin1[unit - 0x00C0] != '\0')
        return static_cast<char16_t>(kLatin1[unit - 0x00C0]);
    if (unit >= 0x0100 && unit <= 0x017F && kExtendedA[unit - 0x0100] != '\0')
        return static_cast<char16_t>(kExtendedA[unit - 0x0100]);
    // Greek and Cyrillic capitals: the names of programs in those scripts.
    if ((unit >= 0x0391 && unit <= 0x03A9 && unit != 0x03A2) || (unit >= 0x0410 && unit <= 0x042F))
        return static_cast<char16_t>(unit + 0x20);
    if (unit >= 0x0400 && unit <= 0x040F) return static_cast<char16_t>(unit + 0x50);
    return unit;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) folded[i] = Folded(text[i]);
    return folded;
}

}  // namespace torvex::programs
