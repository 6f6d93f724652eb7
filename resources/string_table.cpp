#include "resources/string_table.h"

#include <unordered_map>

#include "resources/string_ids.h"

namespace resources {

namespace {

thread_local std::uint32_t threadLanguage = kLanguageEnglish;

const std::vector<StringRow> kRows = {
    {IDS_OLE_INIT_FAILED,
     L"OLE initialization failed.  Make sure that the OLE libraries are the correct version.",
     L"OLE の初期化に失敗しました。OLE ライブラリのバージョンが正しいことを確認してください。"},
    {IDS_HELP_VIEW, L"Help view", L"ヘルプビュー"},
    {IDS_HELP_COMPONENT_NAME, L"Component name", L"部品名称"},
    {IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"Chip and die pad size", L"チップ・ダイパッドサイズ"},
    {IDS_HELP_LEAD_FRAME_SIZE, L"Lead frame size", L"リードフレームサイズ"},
    {IDS_HELP_MOLD_SIZE, L"Mold size", L"モールドサイズ"},
    {IDS_COMPONENTS_VIEW, L"Components", L"コンポーネント"},
    {IDS_COMPONENT_MOLD, L"Mold", L"モールド"},
    {IDS_COMPONENT_OUTER_LEAD, L"Outer Lead", L"アウターリード"},
    {IDS_COMPONENT_INNER_LEAD, L"Inner Lead", L"インナーリード"},
    {IDS_COMPONENT_CHIP, L"Chip", L"チップ"},
    {IDS_COMPONENT_DIE_PAD, L"Die pad", L"ダイパッド"},
    {IDS_COMPONENT_DIE_BONDING, L"Die bonding", L"ダイボンディング"},
    {IDS_COMPONENT_WIRE, L"Wire", L"ワイヤ"},
    {IDS_COMPONENT_SUSPENSION_LEAD, L"Suspension lead", L"吊りリード"},
    {IDS_APP_TITLE, L"Zentrik", L"Zentrik"},
    {IDS_FILE_VIEW, L"File View", L"ファイルビュー"},
    {IDS_OUTPUT_VIEW, L"Output", L"出力"},
    {IDS_PROPERTIES_VIEW, L"Properties", L"プロパティ"},
    {IDS_PROGRAM_CONFIGURATIONS, L"Program Configurations...", L"プログラムの詳細設定"},
    {IDS_MESH_THRESHOLD_ABOVE_STANDARD,
     L"Specify the standard length greater than or equal to the threshold mesh element size.",
     L"分割幅≧限度幅となるように設定して下さい。"},
    {IDS_COMPONENT_WIRING, L"Wiring", L"配線"},
    {IDS_COMPONENT_VIA, L"Via", L"ビア"},
    {IDS_COMPONENT_SOLDER_BALL, L"Solder ball", L"はんだボール"},
    {IDS_HELP_BOARD_SIZE, L"Board size", L"基板サイズ"},
    {IDS_HELP_BOARD_DETAILS, L"Details of board", L"基板詳細"},
    {IDS_HELP_SOLDER_BALL, L"Solder ball", L"はんだボール"},
    {IDS_COMPONENT_BUMP, L"Bump", L"バンプ"},
    {IDS_COMPONENT_LEAD, L"Lead", L"リード"},
    {IDS_COMPONENT_PLATE, L"Plate", L"プレート"},
    {IDS_HELP_OUTLINE, L"Outline", L"外形"},
    {IDS_HELP_INSIDE, L"Inside", L"内部"},
    {IDS_EXPLORER, L"Explorer", L"エクスプローラー"},

    {IDS_CONFIG_FOLDER_PAGE, L"Folder", L"フォルダー"},
    {IDS_CONFIG_PARTS_FOLDER, L"Parts Folder", L"パーツフォルダー"},
    {IDS_CONFIG_EXPORT_DESTINATION, L"Export Destination", L"出力先"},
    {IDS_CONFIG_BROWSE, L"...", L"..."},
    {IDS_CONFIG_BACKGROUND_PAGE, L"Background", L"背景"},
    {IDS_CONFIG_BACKGROUND_COLOR, L"Background color", L"背景色"},
    {IDS_CONFIG_BLACK, L"Black", L"黒"},
    {IDS_CONFIG_WHITE, L"White", L"白"},
    {IDS_CONFIG_GRADATION, L"Gradation", L"グラデーション"},
    {IDS_CONFIG_MATERIAL_PAGE, L"Material Property", L"物性値"},
    {IDS_CONFIG_FLUID_CONDUCTIVITY, L"Thermal Conductivity of Fluid", L"流体の熱伝導率"},
    {IDS_CONFIG_CONDUCTIVITY_UNIT, L"W/(m.K)", L"W/(m.K)"},
    {IDS_CONFIG_MESH_PAGE, L"Mesh Division", L"メッシュ分割"},
    {IDS_CONFIG_STANDARD_LENGTH, L"Standard length", L"分割幅"},
    {IDS_CONFIG_THRESHOLD, L"Threshold mesh element size", L"限度幅"},
    {IDS_CONFIG_AXIS_X, L"X", L"X"},
    {IDS_CONFIG_AXIS_Y, L"Y", L"Y"},
    {IDS_CONFIG_AXIS_Z, L"Z", L"Z"},
    {IDS_CONFIG_MESH_NOTE, L"Note. Specify the magnification for the minimum width of the component.",
     L"注意．部品の最小幅に対する倍率を指定して下さい。"},

    // Application shell
    {IDS_ENTER_NUMBER, L"Please enter a number.", L"数値を入力してください。"},
};

const std::unordered_map<std::uint32_t, const StringRow*>& Index() {
    static const auto index = [] {
        std::unordered_map<std::uint32_t, const StringRow*> map;
        for (const StringRow& row : kRows) map.emplace(row.id, &row);
        return map;
    }();
    return index;
}

}  // namespace

const std::vector<StringRow>& StringTable() { return kRows; }

void SetThreadLanguage(std::uint32_t languageId) { threadLanguage = languageId; }

std::uint32_t ThreadLanguage() { return threadLanguage; }

bool LoadString(std::uint32_t id, std::wstring& text) {
    const auto& index = Index();
    const auto found = index.find(id);
    if (found == index.end()) return false;
    text = threadLanguage == kLanguageJapanese ? found->second->japanese : found->second->english;
    return true;
}

std::wstring FormatString1(const std::wstring& format, const std::wstring& argument) {
    static const std::wstring kPlaceholder = L"%1";
    std::wstring result;
    size_t from = 0;
    for (size_t at = format.find(kPlaceholder); at != std::wstring::npos;
         at = format.find(kPlaceholder, from)) {
        result.append(format, from, at - from);
        result += argument;
        from = at + kPlaceholder.size();
    }
    result.append(format, from, std::wstring::npos);
    return result;
}

}  // namespace resources
