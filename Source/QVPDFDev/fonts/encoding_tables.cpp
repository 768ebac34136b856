#include "QVPDFDev/fonts/encoding_tables.h"

namespace vellora {
namespace {

// Bytes that the code page leaves undefined keep a blank or a placeholder name. Where WinAnsi
// already names the code page's character (the punctuation of 0x80-0x9F) the table starts at
// 160.
// Charset 161 (code page 1253, Greek).
constexpr std::string_view kGreek =
    "/Type/Encoding/Differences\n"
    "[160 /space/dieresistonos/Alphatonos/sterling/currency/yen/brokenbar/section/dieresis\n"
    "/copyright/ordfeminine/guillemotleft/logicalnot\n"
    "/uni00AD/registered/afii00208/degree/plusminus/twosuperior/threesuperior/tonos\n"
    "/mu/paragraph/periodcentered/Epsilontonos/Etatonos/Iotatonos\n"
    "/guillemotright/Omicrontonos/onehalf/Upsilontonos/Omegatonos/iotadieresistonos\n"
    "/Alpha/Beta/Gamma/uni0394/Epsilon/Zeta/Eta/Theta/Iota/Kappa/Lambda/Mu/Nu/Xi\n"
    "/Omicron/Pi/Rho/Ograve/Sigma/Tau/Upsilon/Phi/Chi/Psi/uni03A9/Iotadieresis\n"
    "/Upsilondieresis/alphatonos/epsilontonos/etatonos/iotatonos/upsilondieresistonos\n"
    "/alpha/beta/gamma/delta/epsilon/zeta/eta/theta/iota/kappa/lambda\n"
    "/uni03BC/nu/xi/omicron/pi/rho/sigma1/sigma/tau/upsilon/phi\n"
    "/chi/psi/omega/iotadieresis/upsilondieresis/omicrontonos/upsilontonos/omegatonos/ydieresis]\n"
    "/BaseEncoding/WinAnsiEncoding";
// Charset 162 (code page 1254, Turkish).
constexpr std::string_view kTurkish =
    "/Type/Encoding/Differences\n"
    "[160 /space/exclamdown/cent/sterling/currency/yen/brokenbar/section\n"
    "/dieresis/copyright/ordfeminine/guillemotleft/logicalnot/uni00AD/registered/macron\n"
    "/degree/plusminus/twosuperior/threesuperior/acute/mu/paragraph/periodcentered\n"
    "/cedilla/onesuperior/ordmasculine/guillemotright/onequarter/onehalf/threequarters/"
    "questiondown\n"
    "/Agrave/Aacute/Acircumflex/Atilde/Adieresis/Aring/AE/Ccedilla\n"
    "/Egrave/Eacute/Ecircumflex/Edieresis/Igrave/Iacute/Icircumflex/Idieresis\n"
    "/Gbreve/Ntilde/Ograve/Oacute/Ocircumflex/Otilde/Odieresis/multiply\n"
    "/Oslash/Ugrave/Uacute/Ucircumflex/Udieresis/Idotaccent/Scedilla/germandbls\n"
    "/agrave/aacute/acircumflex/atilde/adieresis/aring/ae/ccedilla\n"
    "/egrave/eacute/ecircumflex/edieresis/igrave/iacute/icircumflex/idieresis\n"
    "/gbreve/ntilde/ograve/oacute/ocircumflex/otilde/odieresis/divide\n"
    "/oslash/ugrave/uacute/ucircumflex/udieresis/dotlessi/scedilla/ydieresis]\n"
    "/BaseEncoding/WinAnsiEncoding";
// Charset 177 (code page 1255, Hebrew).
constexpr std::string_view kHebrew =
    "/Type/Encoding/Differences\n"
    "[160 /nbspace/exclamdown/cent/sterling/afii57636/yen/brokenbar/section/dieresis/copyright\n"
    "/multiply/guillemotleft/logicalnot/sfthyphen/registered/macron/degree/plusminus/twosuperior\n"
    "/threesuperior/acute/mu/paragraph/middot/cedilla/onesuperior/divide/guillemotright\n"
    "/onequarter/onehalf/threequarters/questiondown/afii57799/afii57801/afii57800/afii57802\n"
    "/afii57793/afii57794/afii57795/afii57798/afii57797/afii57806/uni05BA/afii57796/afii57807\n"
    "/afii57839/afii57645/afii57841/afii57842/afii57804/afii57803/afii57658/afii57716\n"
    "/afii57717/afii57718/gereshhebrew/gershayimhebrew/maithoupperleftthai/maitholowrightthai\n"
    "/maitholowleftthai/maitriupperleftthai/maitrilowrightthai/maitrilowleftthai/"
    "maichattawaupperleftthai\n"
    "/afii57664/afii57665/afii57666/afii57667/afii57668/afii57669/afii57670/afii57671\n"
    "/afii57672/afii57673/afii57674/afii57675/afii57676/afii57677/afii57678/afii57679\n"
    "/afii57680/afii57681/afii57682/afii57683/afii57684/afii57685/afii57686/afii57687\n"
    "/afii57688/afii57689/afii57690/maichattawalowrightthai/maichattawalowleftthai/afii299\n"
    "/afii300/thanthakhatupperleftthai]/BaseEncoding/WinAnsiEncoding";
// Charset 178 (code page 1256, Arabic).
constexpr std::string_view kArabic =
    "/Type/Encoding/Differences\n"
    "[128 /Euro/afii57506/quotesinglbase/florin/quotedblbase/ellipsis/dagger/daggerdbl/circumflex\n"
    "/perthousand/afii57511/guilsinglleft/OE/afii57507/afii57508/afii57512/afii57509/quoteleft\n"
    "/quoteright/quotedblleft/quotedblright/bullet/endash/emdash/uni06A9/trademark/afii57513\n"
    "/guilsinglright/oe/afii61664/afii301/afii57514\n"
    "/nbspace/afii57388/cent/sterling/currency/yen/brokenbar/section/dieresis/copyright\n"
    "/uni06BE/guillemotleft/logicalnot/sfthyphen/registered/macron/degree/plusminus/twosuperior\n"
    "/threesuperior/acute/mu/paragraph/middot/cedilla/onesuperior/afii57403/guillemotright\n"
    "/onequarter/onehalf/threequarters/afii57407/haaltonearabic/afii57409/afii57410/afii57411\n"
    "/afii57412/afii57413/afii57414/afii57415/afii57416/afii57417/afii57418/afii57419\n"
    "/afii57420/afii57421/afii57422/afii57423/afii57424/afii57425/afii57426/afii57427\n"
    "/afii57428/afii57429/afii57430/multiply/afii57431/afii57432/afii57433/afii57434/afii57440\n"
    "/afii57441/afii57442/afii57443/agrave/afii57444/acircumflex/afii57445/afii57446/afii57470\n"
    "/afii57448/ccedilla/egrave/eacute/ecircumflex/edieresis/afii57449/afii57450/icircumflex\n"
    "/idieresis/afii57451/afii57452/afii57453/afii57454/ocircumflex/afii57455/afii57456\n"
    "/divide/afii57457/ugrave/afii57458/ucircumflex/udieresis/afii299/afii300/afii57519\n"
    "]/BaseEncoding/WinAnsiEncoding";
// Charset 186 (code page 1257, Baltic).
constexpr std::string_view kBaltic =
    "/Type/Encoding/BaseEncoding/WinAnsiEncoding/Differences\n"
    "[141 /dieresis/caron/cedilla 157 /macron/ogonek\n"
    "160 "
    "/space/space/cent/sterling/currency/space/brokenbar/section/Oslash/copyright/Rcommaaccent/"
    "guillemotleft/logicalnot/hyphen/registered/AE\n"
    "/degree/plusminus/twosuperior/threesuperior/acute/mu/paragraph/middot/oslash/onesuperior/"
    "rcommaaccent/guillemotright/onequarter/onehalf/threequarters/ae\n"
    "/Aogonek/Iogonek/Amacron/Cacute/Adieresis/Aring/Eogonek/Emacron/Ccaron/Eacute/Zacute/"
    "Edotaccent/Gcommaaccent/Kcommaaccent/Imacron/Lcommaaccent\n"
    "/Scaron/Nacute/Ncommaaccent/Oacute/Omacron/Otilde/Odieresis/multiply/Uogonek/Lslash/Sacute/"
    "Umacron/Udieresis/Zdotaccent/Zcaron/germandbls\n"
    "/aogonek/iogonek/amacron/cacute/adieresis/aring/eogonek/emacron/ccaron/eacute/zacute/"
    "edotaccent/gcommaaccent/kcommaaccent/imacron/lcommaaccent\n"
    "/scaron/nacute/ncommaaccent/oacute/omacron/otilde/odieresis/divide\n"
    "/uogonek/lslash/sacute/umacron/udieresis/zdotaccent/zcaron/dotaccent]\n";
// Charset 204 (code page 1251, Cyrillic).
constexpr std::string_view kCyrillic =
    "/Type/Encoding/Differences\n"
    "[128 /Djecyrillic/Gjecyrillic/quotesinglbase/afii10100/quotedblbase/ellipsis/dagger\n"
    "/daggerdbl/Euro/perthousand/Ljecyrillic/guilsinglleft/Njecyrillic/Kjecyrillic/Tshecyrillic\n"
    "/Dzhecyrillic/afii10099/quoteleft/quoteright/quotedblleft/quotedblright/bullet/endash\n"
    "/emdash/null/trademark/afii10106/guilsinglright/afii10107/afii10109/afii10108/afii10193\n"
    "/nbspace/Ushortcyrillic/afii10110/Jecyrillic/currency/Gheupturncyrillic/brokenbar\n"
    "/section/Iocyrillic/copyright/Ecyrillic/guillemotleft/logicalnot/sfthyphen/registered\n"
    "/Yicyrillic/degree/plusminus/Icyrillic/afii10103/afii10098/mu/paragraph/middot/afii10071\n"
    "/afii61352/afii10101/guillemotright/afii10105/Dzecyrillic/afii10102/afii10104/Acyrillic\n"
    "/Becyrillic/Vecyrillic/Gecyrillic/Decyrillic/Iecyrillic/Zhecyrillic/Zecyrillic/Iicyrillic\n"
    "/Iishortcyrillic/Kacyrillic/Elcyrillic/Emcyrillic/Encyrillic/Ocyrillic/Pecyrillic\n"
    "/Ercyrillic/Escyrillic/Tecyrillic/Ucyrillic/Efcyrillic/Khacyrillic/Tsecyrillic/Checyrillic\n"
    "/Shacyrillic/Shchacyrillic/Hardsigncyrillic/Yericyrillic/Softsigncyrillic/Ereversedcyrillic\n"
    "/IUcyrillic/IAcyrillic/acyrillic/afii10066/afii10067/afii10068/afii10069/afii10070\n"
    "/afii10072/afii10073/afii10074/afii10075/afii10076/afii10077/afii10078/afii10079\n"
    "/afii10080/afii10081/afii10082/afii10083/afii10084/afii10085/afii10086/afii10087\n"
    "/afii10088/afii10089/afii10090/afii10091/afii10092/afii10093/afii10094/afii10095\n"
    "/afii10096/afii10097]/BaseEncoding/WinAnsiEncoding";
// Charset 222 (code page 874, Thai).
constexpr std::string_view kThai =
    "/Type/Encoding/Differences\n"
    "[160 /nbspace/kokaithai/khokhaithai/khokhuatthai/khokhwaithai/khokhonthai/khorakhangthai\n"
    "/ngonguthai/chochanthai/chochingthai/chochangthai/sosothai/chochoethai/yoyingthai\n"
    "/dochadathai/topatakthai/thothanthai/thonangmonthothai/thophuthaothai/nonenthai/dodekthai\n"
    "/totaothai/thothungthai/thothahanthai/thothongthai/nonuthai/bobaimaithai/poplathai\n"
    "/phophungthai/fofathai/phophanthai/fofanthai/phosamphaothai/momathai/yoyakthai/roruathai\n"
    "/ruthai/lolingthai/luthai/wowaenthai/sosalathai/sorusithai/sosuathai/hohipthai/lochulathai\n"
    "/oangthai/honokhukthai/paiyannoithai/saraathai/maihanakatthai/saraaathai/saraamthai\n"
    "/saraithai/saraiithai/sarauethai/saraueethai/sarauthai/sarauuthai/phinthuthai/null\n"
    "/null/null/null/bahtthai/saraethai/saraaethai/saraothai/saraaimaimuanthai/saraaimaimalaithai\n"
    "/lakkhangyaothai/maiyamokthai/maitaikhuthai/maiekthai/maithothai/maitrithai/maichattawathai\n"
    "/thanthakhatthai/nikhahitthai/yamakkanthai/fongmanthai/zerothai/onethai/twothai/threethai\n"
    "/fourthai/fivethai/sixthai/seventhai/eightthai/ninethai/angkhankhuthai/khomutthai\n"
    "/null/null/null/null]/BaseEncoding/WinAnsiEncoding";
// Charset 238 (code page 1250, Central European).
constexpr std::string_view kCentralEuropean =
    "/Type/Encoding/Differences\n"
    "[128 /Euro/space/quotesinglbase/space/quotedblbase/ellipsis/dagger/daggerdbl\n"
    "/space/perthousand/Scaron/guilsinglleft/Sacute/Tcaron/Zcaron/Zacute\n"
    "/space/quoteleft/quoteright/quotedblleft/quotedblright/bullet/endash\n"
    "/emdash/space/trademark/scaron/guilsinglright/sacute/tcaron/zcaron/zacute\n"
    "/space/caron/breve/Lslash/currency/Aogonek/brokenbar/section\n"
    "/dieresis/copyright/Scedilla/guillemotleft/logicalnot/hyphen/registered/Zdot\n"
    "/degree/plusminus/ogonek/lslash/acute/mu/paragraph/periodcentered\n"
    "/cedilla/aogonek/scedilla/guillemotright/Lcaron/hungarumlaut/lcaron/zdot\n"
    "/Racute/Aacute/Acircumflex/Abreve/Adieresis/Lacute/Cacute/Ccedilla/Ccaron\n"
    "/Eacute/Eogonek/Edieresis/Ecaron/Iacute/Icircumflex/Dcaron/Dcroat\n"
    "/Nacute/Ncaron/Oacute/Ocircumflex/Ohungarumlaut/Odieresis/multiply/Rcaron\n"
    "/Uring/Uacute/Uhungarumlaut/Udieresis/Yacute/Tcommaaccent/germandbls/racute\n"
    "/aacute/acircumflex/abreve/adieresis/lacute/cacute/ccedilla/ccaron\n"
    "/eacute/eogonek/edieresis/ecaron/iacute/icircumflex/dcaron/dcroat\n"
    "/nacute/ncaron/oacute/ocircumflex/ohungarumlaut/odieresis/divide/rcaron\n"
    "/uring/uacute/uhungarumlaut/udieresis/yacute/tcommaaccent/dotaccent]\n"
    "/BaseEncoding/WinAnsiEncoding";

// Charset 163 (code page 1258, Vietnamese): the bytes where it differs from WinAnsi.
constexpr std::string_view kVietnamese =
    "/Type/Encoding/Differences\n"
    "[128 /Euro 138 /space 142 /space 154 /space 158 /space\n"
    "195 /Abreve 204 /gravecomb 208 /Dcroat 210 /hookabovecomb 213 /Ohorn 221 /Uhorn /tildecomb\n"
    "227 /abreve 236 /acutecomb 240 /dcroat 242 /dotbelowcomb 245 /ohorn 253 /uhorn /dong]\n"
    "/BaseEncoding/WinAnsiEncoding";

}  // namespace

std::string_view CharsetEncodingBody(std::int32_t charset) {
  switch (charset) {
    case 161:
      return kGreek;
    case 162:
      return kTurkish;
    case 163:
      return kVietnamese;
    case 177:
      return kHebrew;
    case 178:
      return kArabic;
    case 186:
      return kBaltic;
    case 204:
      return kCyrillic;
    case 222:
      return kThai;
    case 238:
      return kCentralEuropean;
    default:
      return {};
  }
}

}  // namespace vellora
