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
    {IDS_HELP_VIEW, L"Help view", L"ヘルプ ビュー"},
    {IDS_HELP_COMPONENT_NAME, L"Component name", L"構成要素名"},
    {IDS_HELP_CHIP_AND_DIE_PAD_SIZE, L"Chip and die pad size", L"チップ・ダイパッドサイズ"},
    {IDS_HELP_LEAD_FRAME_SIZE, L"Lead frame size", L"リードフレームサイズ"},
    {IDS_HELP_MOLD_SIZE, L"Mold size", L"モールドサイズ"},
    {IDS_COMPONENTS_VIEW, L"Components", L"構成要素"},
    {IDS_COMPONENT_MOLD, L"Mold", L"モールド"},
    {IDS_COMPONENT_OUTER_LEAD, L"Outer Lead", L"アウターリード"},
    {IDS_COMPONENT_INNER_LEAD, L"Inner Lead", L"インナーリード"},
    {IDS_COMPONENT_CHIP, L"Chip", L"チップ"},
    {IDS_COMPONENT_DIE_PAD, L"Die pad", L"ダイパッド"},
    {IDS_COMPONENT_DIE_BONDING, L"Die bonding", L"ダイボンディング"},
    {IDS_COMPONENT_WIRE, L"Wire", L"ワイヤ"},
    {IDS_COMPONENT_SUSPENSION_LEAD, L"Suspension lead", L"吊りリード"},
    {IDS_APP_TITLE, L"Zentrik", L"Zentrik"},
    {IDS_FILE_VIEW, L"File View", L"ファイル ビュー"},
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
    {IDS_MANUAL_NOT_OPENED,
     L"No web browser could open the manual %1. Set a default web browser, or open the file in one.",
     L"マニュアル %1 を開けるウェブブラウザーがありません。既定のブラウザーを設定するか、このファイルをブラウザーで開いてください。"},

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
     L"注意．構成要素の最小幅に対する倍率を指定して下さい。"},

    // Part-name rules
    {IDS_NAME_HAS_CHARACTER, L"A part name can't contain a character '%1'.",
     L"パーツ名に文字 '%1' は使用できません。"},
    {IDS_NAME_HAS_ANY_OF, L"A part name can't contain any of the following characters:%1",
     L"パーツ名には次の文字は使えません:%1"},
    {IDS_NAME_EMPTY, L"Please input part name.", L"パーツ名を入力して下さい。"},
    {IDS_NAME_HAS_ANY_OF_LINES, L"A part name can't contain any of the following characters:\n%1",
     L"パーツ名には次の文字は使えません:\n%1"},
    {IDS_NAME_TOO_LONG, L"Part name is too long.\nUse shorter name.",
     L"パーツ名が長すぎます。\n短い名前を使用して下さい。"},
    {IDS_NAME_LEADING_UNDERSCORE, L"Text string starting from \"_\" cannot be used.",
     L"\"_\" で始まる文字列は使用できません。"},
    {IDS_NAME_RESERVED, L"Windows reserved device name cannot be used for a part name.",
     L"Windows の予約デバイス名はパーツ名に使用できません。"},

    // New-part and new-folder dialogs
    {IDS_SELECT_PART_TYPE, L"Please select the part type.", L"パーツの種類を選択して下さい。"},
    {IDS_PART_EXISTS, L"Part %1 exists. Please change the part name.",
     L"パーツ %1 は既に存在します。パーツ名を変更して下さい。"},
    {IDS_FOLDER_NAME_HAS_CHARACTER, L"A folder name can't contain a character '%1'.",
     L"フォルダー名に文字 '%1' は使用できません。"},
    {IDS_FOLDER_NAME_EMPTY, L"Please input folder name.", L"フォルダー名を入力して下さい。"},
    {IDS_NEW_PART_TITLE, L"New Part", L"新規パーツ"},
    {IDS_NEW_PART_TYPE, L"Part type", L"パーツの種類"},
    {IDS_NEW_PART_NAME, L"Part name", L"パーツ名"},
    {IDS_NEW_PART_DESTINATION, L"Destination folder\nto save", L"保存先フォルダー"},
    {IDS_NEW_FOLDER_TITLE, L"New Folder", L"新規フォルダー"},
    {IDS_NEW_FOLDER_NAME, L"Folder name", L"フォルダー名"},

    // Property models and the properties pane.
    {IDS_PROPERTIES_SAVE, L"Save", L"保存"},
    {IDS_PROPERTIES_RESET, L"Reset", L"リセット"},
    {IDS_PROPERTIES_PREVIEW, L"Preview", L"プレビュー"},
    {IDS_SPECIFY_GREATER_THAN_ZERO, L"Specify %1 greater than 0.", L"%1には0より大きい値を指定して下さい。"},
    {IDS_CHECK_MOLD_SIZE_X, L"Mold size X", L"封示樹脂のサイズX"},
    {IDS_CHECK_MOLD_SIZE_Y, L"Mold size Y", L"封示樹脂のサイズY"},
    {IDS_CHECK_MOLD_THICKNESS, L"Mold thickness", L"封止樹脂の厚さ"},
    {IDS_CHECK_MOLD_CONDUCTIVITY, L"Thermal conductivity of mold", L"封止樹脂の熱伝導率"},
    {IDS_CHECK_LEAD_WIDTH, L"Lead width", L"リード幅"},
    {IDS_CHECK_LEAD_PITCH, L"Lead pitch", L"リードピッチ"},
    {IDS_CHECK_LEAD_THICKNESS, L"Lead thickness", L"リードの厚さ"},
    {IDS_CHECK_LEAD_CONDUCTIVITY, L"Thermal conductivity of lead", L"リードの熱伝導率"},
    {IDS_CHECK_LEAD_COUNT_X, L"The number of Xmin/Xmax leads", L"リード全般の本数Xmin/Xmax"},
    {IDS_CHECK_LEAD_COUNT_Y, L"The number of Ymin/Ymax leads", L"リード全般の本数Ymin/Ymax"},
    {IDS_CHECK_OUTER_LEAD_LENGTH, L"Length of outer lead", L"アウターリードの長さ"},
    {IDS_CHECK_OUTER_LEAD_STAND_OFF, L"Stand off of outer lead", L"アウターリードのスタンドオフ"},
    {IDS_CHECK_MOUNTING_LENGTH, L"Length of mounting area", L"実装部の長さ"},
    {IDS_CHECK_HEIGHT_FROM_MOLD_BOTTOM, L"Height from bottom of mold", L"封止樹脂底面からの高さ"},
    {IDS_CHECK_CHIP_SIZE_X, L"Chip size X", L"チップのサイズX"},
    {IDS_CHECK_CHIP_SIZE_Y, L"Chip size Y", L"チップのサイズY"},
    {IDS_CHECK_CHIP_THICKNESS, L"Chip thickness", L"チップの厚さ"},
    {IDS_CHECK_CHIP_CONDUCTIVITY, L"Thermal conductivity of chip", L"チップの熱伝導率"},
    {IDS_CHECK_DIE_PAD_SIZE_X, L"Die pad size X", L"ダイパッドのサイズX"},
    {IDS_CHECK_DIE_BONDING_THICKNESS, L"Thickness of die bonding", L"ダイボンディングの厚さ"},
    {IDS_CHECK_DIE_BONDING_CONDUCTIVITY, L"Thermal conductivity of die bonding", L"ダイボンディングの熱伝導率"},
    {IDS_CHECK_DIE_PAD_DEPRESS, L"Depress of die pad", L"ダイパッドのディプレス"},
    {IDS_CHECK_DIE_PAD_SIZE_Y, L"Die pad size Y", L"ダイパッドのサイズY"},
    {IDS_CHECK_INNER_LEAD_OFFSET, L"Offset of inner lead from die pad", L"インナーリードのダイパッドからのオフセット"},
    {IDS_CHECK_SUSPENSION_LEAD_WIDTH, L"Suspension lead width", L"吊りリードの幅"},
    {IDS_CHECK_WIRE_DIAMETER, L"Wire diameter", L"ワイヤの直径"},
    {IDS_CHECK_WIRE_CONDUCTIVITY, L"Thermal conductivity of wire", L"ワイヤの熱伝導率"},
    {IDS_PROP_X, L"X (mm)", L"X (mm)"},
    {IDS_PROP_Y, L"Y (mm)", L"Y (mm)"},
    {IDS_PROP_THICKNESS, L"Thickness (mm)", L"厚さ (mm)"},
    {IDS_PROP_CONDUCTIVITY_GROUP, L"Thermal conductivity (W/mK)", L"熱伝導率 (W/mK)"},
    {IDS_PROP_WIDTH, L"Width (mm)", L"幅 (mm)"},
    {IDS_PROP_XMIN_XMAX, L"Xmin/Xmax", L"Xmin/Xmax"},
    {IDS_PROP_YMIN_YMAX, L"Ymin/Ymax", L"Ymin/Ymax"},
    {IDS_PROP_LENGTH, L"Length (mm)", L"長さ (mm)"},
    {IDS_PROP_STAND_OFF, L"Stand off (mm)", L"スタンドオフ (mm)"},
    {IDS_PROP_MOUNTING_LENGTH, L"Length of mounting area (mm)", L"実装部の長さ (mm)"},
    {IDS_PROP_HEIGHT_FROM_MOLD_BOTTOM, L"Height from bottom of mold (mm)", L"封止樹脂底面からの高さ (mm)"},
    {IDS_PROP_RATE_OF_HEATING, L"Rate of heating (W)", L"発熱量 (W)"},
    {IDS_PROP_DEPRESS, L"Depress (mm)", L"ディプレス (mm)"},
    {IDS_PROP_INSERT_DIE_BONDING, L"Insert die bonding", L"ダイボンディングを挿入"},
    {IDS_PROP_OFFSET_FROM_DIE_PAD, L"Offset from die pad (mm)", L"ダイパッドからのオフセット (mm)"},
    {IDS_PROP_CREATE_WIRE, L"Create wire", L"ワイヤを作成"},
    {IDS_PROP_DIAMETER, L"Diameter (mm)", L"直径 (mm)"},
    {IDS_PROP_CREATE_SUSPENSION_LEAD, L"Create suspension lead", L"吊りリードを作成"},
    {IDS_PROP_PITCH, L"Pitch (mm)", L"ピッチ (mm)"},
    {IDS_PROP_SIZE, L"Size", L"サイズ"},
    {IDS_PROP_MOLD, L"Mold", L"封止樹脂"},
    {IDS_PROP_LEAD_GENERAL, L"General setting of Lead", L"リード全般"},
    {IDS_PROP_NUMBER_OF_LEAD, L"Number of lead", L"リード本数"},
    {IDS_PROP_OUTER_LEAD, L"Outer Lead", L"アウターリード"},
    {IDS_PROP_INNER_LEAD, L"Inner Lead", L"インナーリード"},
    {IDS_PROP_SUSPENSION_LEAD, L"Suspension Lead", L"吊りリード"},
    {IDS_PROP_CHIP, L"Chip", L"チップ"},
    {IDS_PROP_DIE_PAD, L"Die pad", L"ダイパッド"},
    {IDS_PROP_DIE_BONDING, L"Die Bonding", L"ダイボンディング"},
    {IDS_PROP_WIRE, L"Wire", L"ワイヤ"},
    {IDS_PROP_BOARD, L"Board", L"基板"},
    {IDS_PROP_COPPER_COVERAGE, L"Copper coverage", L"残銅率"},
    {IDS_PROP_BOARD_LAYER_THICKNESS, L"Thickness (Board)", L"厚さ (基材)"},
    {IDS_PROP_WIRING_LAYER_THICKNESS, L"Thickness (Wiring)", L"厚さ (配線)"},
    {IDS_PROP_NUMBER_OF_WIRING_LAYERS, L"Number of wiring layers", L"配線層数"},
    {IDS_PROP_LAYER, L"layer", L"層"},
    {IDS_PROP_CREATE_THERMAL_VIA, L"Create thermal via", L"サーマルビアを作成"},
    {IDS_PROP_THERMAL_VIA, L"Thermal Via", L"サーマルビア"},
    {IDS_PROP_OUTER_DIAMETER, L"Outer diameter (mm)", L"外径 (mm)"},
    {IDS_PROP_COATING_THICKNESS, L"Thickness of coating (mm)", L"めっき厚さ (mm)"},
    {IDS_PROP_LINES_X, L"Number of lines (X)", L"列数 (X)"},
    {IDS_PROP_LINES_Y, L"Number of lines (Y)", L"列数 (Y)"},
    {IDS_PROP_NUMBER_TOP_BOTTOM, L"Number (Top/Bottom)", L"本数 (上/下)"},
    {IDS_PROP_NUMBER_LEFT_RIGHT, L"Number (Left/Right)", L"本数 (左/右)"},
    {IDS_PROP_SOLDER_BALL, L"Solder ball", L"はんだボール"},
    {IDS_PROP_SOLDER_BALL_DIAMETER, L"Diameter of solder ball (mm)", L"はんだボールの直径 (mm)"},
    {IDS_PROP_ALL_LINES_X, L"Number of all lines (X)", L"全体の列数 (X)"},
    {IDS_PROP_ALL_LINES_Y, L"Number of all lines (Y)", L"全体の列数 (Y)"},
    {IDS_PROP_OUTER_LINES_X, L"Number of outer lines (X)", L"外周の列数 (X)"},
    {IDS_PROP_OUTER_LINES_Y, L"Number of outer lines (Y)", L"外周の列数 (Y)"},
    {IDS_PROP_CENTER_LINES_X, L"Number of center lines (X)", L"中央の列数 (X)"},
    {IDS_PROP_CENTER_LINES_Y, L"Number of center lines (Y)", L"中央の列数 (Y)"},
    {IDS_CHECK_WIRES_TOP_BOTTOM, L"Number of wires (Top/Bottom)", L"ワイヤの本数 (上/下)"},
    {IDS_CHECK_WIRES_LEFT_RIGHT, L"Number of wires (Left/Right)", L"ワイヤの本数 (左/右)"},
    {IDS_PROP_LAND_SIZE, L"Land size", L"ランドサイズ"},
    {IDS_PROP_WIRING_AREA_SIZE, L"Wiring area size of first layer", L"第1層の配線領域サイズ"},
    {IDS_PROP_BUMP, L"Bump", L"バンプ"},
    {IDS_PROP_NUMBER, L"Number", L"個数"},
    {IDS_PROP_INNER_SHAPE, L"Inner shape parameter", L"内部形状パラメータ"},
    {IDS_PROP_OUTER_SHAPE, L"Outer shape parameter", L"外形パラメータ"},
    {IDS_PROP_OFFSET, L"Offset", L"オフセット"},
    {IDS_PROP_PLATE, L"Plate", L"プレート"},
    {IDS_PROP_LEAD, L"Lead", L"リード"},
    {IDS_PROP_VARIATION, L"Variation", L"バリエーション"},
    {IDS_CHECK_OFFSET, L"Offset", L"オフセット"},
    {IDS_CHECK_INNER_LEAD, L"Inner lead", L"インナーリード"},
    {IDS_PROP_DENSITY_GROUP, L"Density (kg/m3)", L"密度 (kg/m3)"},
    {IDS_PROP_SPECIFIC_HEAT_GROUP, L"Specific heat (J/kgK)", L"比熱 (J/kgK)"},
    {IDS_PROP_UNDERFILL, L"Underfill", L"アンダーフィル"},
    {IDS_PROP_BOARD_MATERIAL, L"Board", L"基材"},
    {IDS_PROP_WIRING_MATERIAL, L"Wiring", L"配線"},
    {IDS_PROP_HEIGHT, L"Height", L"高さ"},
    {IDS_PROP_BALL_LAYOUT, L"Ball layout", L"ボール配置"},
    {IDS_PROP_LAYOUT_FULL_MATRIX, L"Full matrix", L"フルマトリクス"},
    {IDS_PROP_LAYOUT_OUTER, L"Outer area", L"外周部"},
    {IDS_PROP_LAYOUT_OUTER_CENTER, L"Outer and center areas", L"外周部と中央部"},
    {IDS_WIRE_AREA_OVERLAPS_CHIP,
     L"Wire cannot be made since wiring area of first layer and chip are overlapped.",
     L"第1層の配線領域とチップが重なっているため、ワイヤを作成できません。"},

    // The export run and its dialogs.
    {IDS_PART_NAME, L"Part name", L"パーツ名"},
    {IDS_PROGRESS_STATE, L"State", L"状況"},
    {IDS_PROGRESS_MESSAGE, L"Message", L"メッセージ"},
    {IDS_STATE_WAITING, L"Waiting", L"待機中"},
    {IDS_STATE_RUNNING, L"Running", L"出力中"},
    {IDS_STATE_FINISHED, L"Finished", L"完了"},
    {IDS_STATE_FAILED, L"Failed", L"失敗"},
    {IDS_RESISTANCE, L"Resistance", L"熱抵抗値"},
    {IDS_RESISTANCE_FONT, L"Courier New", L"ＭＳ ゴシック"},

    // Application shell
    {IDS_ENTER_NUMBER, L"Please enter a number.", L"数値を入力してください。"},

    // Part-file operations.
    {IDS_EXIT, L"Exit", L"終了"},
    {IDS_PART_MODIFIED_OVERWRITE, L"The part '%1' has been modified.\nOverwrite?",
     L"パーツ '%1' は変更されています。\n上書きしますか?"},
    {IDS_DELETE_CAPTION, L"Delete", L"削除"},
    {IDS_DELETE_QUESTION, L"Move '%1' to the trash?", L"'%1' をごみ箱に移動しますか?"},

    // The export list dialog, its output-name editor and the modeling-type dialog.
    {IDS_EXPORT_PART_NAME, L"Part name", L"パーツ名"},
    {IDS_EXPORT_MODELING_TYPE, L"Modeling type", L"モデル化"},
    {IDS_EXPORT_OUTPUT_NAME, L"Output file name", L"出力ファイル名"},
    {IDS_KIND_SIMPLE, L"Simple", L"簡易"},
    {IDS_KIND_DETAIL, L"Detail", L"詳細"},
    {IDS_KIND_TWO_RESISTOR, L"Two-resistor model", L"2抵抗モデル"},
    {IDS_MODELING_TYPE_NOT_SET, L"A Modeling type is not set correctly.",
     L"モデル化が正しく設定されていません。"},
    {IDS_KIND_THREE_RESISTOR, L"Three-resistor model", L"3抵抗モデル"},
    {IDS_EXPORT_PART_TYPE, L"Part type", L"パーツの種類"},
    {IDS_SAME_OUTPUT_FILE, L"There is a part with the same output file '%1'.",
     L"同じ出力ファイル '%1' のパーツがあります。"},
    {IDS_FOLDER_MISSING_CREATE, L"A folder '%1' doesn't exists. Create?",
     L"フォルダー '%1' は存在しません。作成しますか?"},
    {IDS_FOLDER_CREATE_FAILED, L"Failed to create a folder.", L"フォルダーの作成に失敗しました。"},
    {IDS_KIND_DELPHI, L"DELPHI model", L"DELPHIモデル"},
    {IDS_EXPORT_TITLE, L"Export", L"エクスポート"},
    {IDS_EXPORT_PARTS, L"Parts", L"パーツ一覧"},
    {IDS_EXPORT_LIST, L"Parts list to export", L"エクスポートするパーツリスト"},
    {IDS_EXPORT_ADD, L"Add to list ->", L"リストに追加 ->"},
    {IDS_EXPORT_DELETE, L"Delete from list <-", L"リストから削除 <-"},
    {IDS_EXPORT_CHANGE_KIND, L"Change Modeling Type Collectively", L"モデル化の一括設定"},
    {IDS_EXPORT_DESTINATION, L"Export destination", L"出力先フォルダー"},
    {IDS_EXPORT_BROWSE, L"...", L"..."},
    {IDS_EXPORT_RUN, L"Export", L"保存"},
    {IDS_EXPORT_CLOSE, L"Close", L"閉じる"},
    {IDS_MODELING_TYPE_OK, L"OK", L"OK"},
    {IDS_MODELING_TYPE_CANCEL, L"Cancel", L"キャンセル"},

    // File-tree pane.
    {IDS_FILE_VIEW_NEW_PART, L"New Part", L"新規パーツ"},
    {IDS_FILE_VIEW_EXPORT, L"Export", L"エクスポート"},
    {IDS_EXPLORER_DELETE, L"&Delete", L"削除(&D)"},
    {IDS_EXPLORER_RENAME, L"Rename", L"名前の変更"},
    {IDS_EXPLORER_NEW_FOLDER, L"New &Folder", L"新規フォルダー(&F)"},
    {IDS_SETTINGS_SAVE_FAILED,
     L"The settings could not be saved to %1. The changes made in this session are lost.",
     L"設定を %1 に保存できませんでした。今回の変更は失われます。"},
    {IDS_MOVE_TO_OTHER_TYPE,
     L"%1 can't be moved into the folder of another package type.\nThe folder a part lies in decides its package type.",
     L"%1 を別のパッケージタイプのフォルダーへ移動することはできません。\nパーツのパッケージタイプは置かれたフォルダーで決まります。"},

    // Property grid.
    {IDS_PROPERTY_FALSE, L"False", L"いいえ"},
    {IDS_PROPERTY_TRUE, L"True", L"はい"},

    // 35:
    {IDS_RULE_LENGTH_AT_MOST, L"Specify %1 of at most 1000 mm.", L"%1には1000 mm以下の値を指定して下さい。"},
    {IDS_RULE_FINITE, L"Specify %1 as a finite number.", L"%1には有限の値を指定して下さい。"},
    {IDS_RULE_RATIO, L"Specify %1 from 0 to 1.", L"%1には0以上1以下の値を指定して下さい。"},
    {IDS_RULE_LAYER_COUNT, L"Specify %1 from 0 to 8.", L"%1には0以上8以下の値を指定して下さい。"},
    {IDS_RULE_CHIP_IN_MOLD, L"Specify the chip size no larger than the mold size.", L"チップのサイズは封止樹脂のサイズ以下にして下さい。"},
    {IDS_RULE_CHIP_ON_DIE_PAD, L"Specify the chip size no larger than the die pad size.", L"チップのサイズはダイパッドのサイズ以下にして下さい。"},
    {IDS_RULE_DIE_PAD_IN_MOLD, L"Specify the die pad size no larger than the mold size.", L"ダイパッドのサイズは封止樹脂のサイズ以下にして下さい。"},
    {IDS_RULE_MOLD_ON_BOARD, L"Specify the mold size no larger than the board size.", L"封止樹脂のサイズは基板のサイズ以下にして下さい。"},
    {IDS_RULE_LEAD_PITCH, L"Specify the lead pitch no smaller than the lead width.", L"リードピッチはリード幅以上にして下さい。"},
    {IDS_RULE_LEADS_X_FIT, L"The Xmin/Xmax leads do not fit along the mold: (number - 1) x pitch + width must not exceed mold size Y.", L"リードXmin/Xmaxが封止樹脂に収まりません。(本数 - 1) × ピッチ + 幅を封止樹脂のサイズY以下にして下さい。"},
    {IDS_RULE_LEADS_Y_FIT, L"The Ymin/Ymax leads do not fit along the mold: (number - 1) x pitch + width must not exceed mold size X.", L"リードYmin/Ymaxが封止樹脂に収まりません。(本数 - 1) × ピッチ + 幅を封止樹脂のサイズX以下にして下さい。"},
    {IDS_RULE_BALL_PITCH, L"Specify the solder ball pitch no smaller than the solder ball diameter.", L"はんだボールのピッチははんだボールの直径以上にして下さい。"},
    {IDS_RULE_BALLS_FIT, L"The solder balls do not fit on the board: (number of all lines - 1) x pitch + diameter must not exceed the board size.", L"はんだボールが基板に収まりません。(全体の列数 - 1) × ピッチ + 直径を基板のサイズ以下にして下さい。"},
    {IDS_RULE_BALL_LINES, L"Specify the outer and center lines of solder balls so that they fit inside all lines.", L"はんだボールの外周と中央の列数は全体の列数に収まるようにして下さい。"},
    {IDS_RULE_VIA_PITCH, L"Specify the thermal via pitch no smaller than its outer diameter.", L"サーマルビアのピッチは外径以上にして下さい。"},
    {IDS_RULE_VIAS_FIT, L"The thermal vias do not fit on the board: (number of lines - 1) x pitch + outer diameter must not exceed the board size.", L"サーマルビアが基板に収まりません。(列数 - 1) × ピッチ + 外径を基板のサイズ以下にして下さい。"},
    {IDS_RULE_VIA_COATING, L"Specify the thermal via coating no thicker than half its outer diameter.", L"サーマルビアのめっき厚さは外径の半分以下にして下さい。"},
    {IDS_RULE_LAND_ON_BOARD, L"Specify the land size and twice the wiring area size no larger than the board size.", L"ランドサイズと配線領域サイズの2倍は基板のサイズ以下にして下さい。"},
    {IDS_NAME_BOARD_SIZE_X, L"Board size X", L"基板のサイズX"},
    {IDS_NAME_BOARD_SIZE_Y, L"Board size Y", L"基板のサイズY"},
    {IDS_NAME_LAND_SIZE_X, L"Land size X", L"ランドサイズX"},
    {IDS_NAME_LAND_SIZE_Y, L"Land size Y", L"ランドサイズY"},
    {IDS_NAME_WIRING_AREA_X, L"Wiring area size of first layer X", L"第1層の配線領域サイズX"},
    {IDS_NAME_WIRING_AREA_Y, L"Wiring area size of first layer Y", L"第1層の配線領域サイズY"},
    {IDS_NAME_BOARD_LAYER, L"Thickness (Board)", L"厚さ (基材)"},
    {IDS_NAME_WIRING_LAYER, L"Thickness (Wiring)", L"厚さ (配線)"},
    {IDS_NAME_COPPER_COVERAGE, L"Copper coverage", L"残銅率"},
    {IDS_NAME_BOARD_CONDUCTIVITY, L"Thermal conductivity of board", L"基材の熱伝導率"},
    {IDS_NAME_WIRING_CONDUCTIVITY, L"Thermal conductivity of wiring", L"配線の熱伝導率"},
    {IDS_NAME_VIA_DIAMETER, L"Outer diameter of thermal via", L"サーマルビアの外径"},
    {IDS_NAME_VIA_COATING, L"Thickness of coating of thermal via", L"サーマルビアのめっき厚さ"},
    {IDS_NAME_VIA_PITCH, L"Pitch of thermal via", L"サーマルビアのピッチ"},
    {IDS_NAME_VIA_LINES_X, L"Number of lines of thermal via (X)", L"サーマルビアの列数 (X)"},
    {IDS_NAME_VIA_LINES_Y, L"Number of lines of thermal via (Y)", L"サーマルビアの列数 (Y)"},
    {IDS_NAME_VIA_CONDUCTIVITY, L"Thermal conductivity of thermal via", L"サーマルビアの熱伝導率"},
    {IDS_NAME_BALL_DIAMETER, L"Diameter of solder ball", L"はんだボールの直径"},
    {IDS_NAME_BALL_PITCH, L"Pitch of solder ball", L"はんだボールのピッチ"},
    {IDS_NAME_BALL_HEIGHT, L"Height of solder ball", L"はんだボールの高さ"},
    {IDS_NAME_BALL_CONDUCTIVITY, L"Thermal conductivity of solder ball", L"はんだボールの熱伝導率"},
    {IDS_NAME_ALL_LINES_X, L"Number of all lines (X)", L"全体の列数 (X)"},
    {IDS_NAME_ALL_LINES_Y, L"Number of all lines (Y)", L"全体の列数 (Y)"},
    {IDS_NAME_OUTER_LINES_X, L"Number of outer lines (X)", L"外周の列数 (X)"},
    {IDS_NAME_OUTER_LINES_Y, L"Number of outer lines (Y)", L"外周の列数 (Y)"},
    {IDS_NAME_CENTER_LINES_X, L"Number of center lines (X)", L"中央の列数 (X)"},
    {IDS_NAME_CENTER_LINES_Y, L"Number of center lines (Y)", L"中央の列数 (Y)"},
    {IDS_NAME_BUMP_THICKNESS, L"Bump thickness", L"バンプの厚さ"},
    {IDS_NAME_BUMP_DIAMETER, L"Bump diameter", L"バンプの直径"},
    {IDS_NAME_BUMP_NUMBER, L"Number of bumps", L"バンプの個数"},
    {IDS_NAME_BUMP_CONDUCTIVITY, L"Thermal conductivity of bump", L"バンプの熱伝導率"},
    {IDS_NAME_UNDERFILL_CONDUCTIVITY, L"Thermal conductivity of underfill", L"アンダーフィルの熱伝導率"},
    {IDS_NAME_PLATE_CONDUCTIVITY, L"Thermal conductivity of plate", L"プレートの熱伝導率"},
    {IDS_NAME_DIE_PAD_CONDUCTIVITY, L"Thermal conductivity of die pad", L"ダイパッドの熱伝導率"},
    {IDS_NAME_WIRING_LAYERS, L"Number of wiring layers", L"配線層数"},
    {IDS_NAME_FLUID_CONDUCTIVITY, L"Thermal Conductivity of Fluid", L"流体の熱伝導率"},
    {IDS_NAME_STANDARD_LENGTH_X, L"Standard length X", L"分割幅 X"},
    {IDS_NAME_STANDARD_LENGTH_Y, L"Standard length Y", L"分割幅 Y"},
    {IDS_NAME_STANDARD_LENGTH_Z, L"Standard length Z", L"分割幅 Z"},
    {IDS_NAME_THRESHOLD_X, L"Threshold mesh element size X", L"限度幅 X"},
    {IDS_NAME_THRESHOLD_Y, L"Threshold mesh element size Y", L"限度幅 Y"},
    {IDS_NAME_THRESHOLD_Z, L"Threshold mesh element size Z", L"限度幅 Z"},
    {IDS_RUN_PART_UNREADABLE, L"The part file could not be read as its package type.", L"パーツファイルをパッケージタイプとして読み込めませんでした。"},
    {IDS_RUN_BUILD_FAILED, L"The model of the part could not be built.", L"パーツのモデルを作成できませんでした。"},
    {IDS_RUN_GRID_TOO_LARGE, L"The solver grid would have %1 cells, more than the solver can take. Raise the standard lengths.", L"解析格子のセル数が %1 となり上限を超えます。分割幅を大きくして下さい。"},
    {IDS_RUN_SOLVER_STATUS_1, L"Resistances cannot be solved (1): the solver got no input file name.", L"熱抵抗を計算できません (1): 入力ファイル名がありません。"},
    {IDS_RUN_SOLVER_STATUS_2, L"Resistances cannot be solved (2): the resistance network could not be fitted.", L"熱抵抗を計算できません (2): 熱抵抗網を求められませんでした。"},
    {IDS_RUN_SOLVER_STATUS_3, L"Resistances cannot be solved (3): the solver input names an unknown model type.", L"熱抵抗を計算できません (3): 入力のモデルタイプが不明です。"},
    {IDS_RUN_SOLVER_STATUS_4, L"Resistances cannot be solved (4): the solver input is missing, unreadable or malformed.", L"熱抵抗を計算できません (4): 入力がない、読めない、または不正です。"},
    {IDS_RUN_SOLVER_STATUS_5, L"Resistances cannot be solved (5): no valid solution was found, or memory ran out.", L"熱抵抗を計算できません (5): 有効な解が得られないか、メモリが不足しました。"},
    {IDS_RUN_CABINET_NOT_WRITTEN, L"The output file %1 could not be written.", L"出力ファイル %1 を書き込めませんでした。"},
    {IDS_RUN_LIST_FILE_NOT_WRITTEN, L"The list file %1 could not be written.", L"リストファイル %1 を書き込めませんでした。"},
    {IDS_RUN_NO_COMPACT_MODEL, L"This package type has no such model.", L"このパッケージタイプにはこのモデルがありません。"},
    {IDS_RUN_UNKNOWN_KIND, L"The modeling type is unknown.", L"モデル化の種類が不明です。"},
    {IDS_RUN_INPUT_NOT_WRITTEN, L"The solver input could not be written to the temporary folder.", L"解析の入力ファイルを一時フォルダーに書き込めませんでした。"},
    {IDS_RUN_RESULT_MISSING, L"The solver returned no value for a resistance of the model.", L"モデルの熱抵抗の値が解析結果にありません。"},
    {IDS_RUN_UNEXPECTED_ERROR, L"The export stopped on an unexpected error.", L"予期しないエラーで出力が中断されました。"},
    // 36:
    {IDS_PART_CHANGED_ON_DISK,
     L"%1 was changed on disk after it was opened, by another window or program.\nOverwrite it with this window's version, or keep the version on disk and read it again?",
     L"%1 は開いた後に、別のウィンドウまたはプログラムによってディスク上で変更されています。\nこのウィンドウの内容で上書きしますか？それともディスク上の内容を残して読み込み直しますか？"},
    {IDS_PART_CHANGED_OVERWRITE, L"Overwrite", L"上書き"},
    {IDS_PART_CHANGED_KEEP_DISK, L"Keep the version on disk", L"ディスク上の内容を残す"},
    {IDS_PART_CHANGED_CANCEL, L"Cancel", L"キャンセル"},
// 38:
    {IDS_PROPERTY_INVALID_VALUE, L"You have entered invalid value. Press ESC to cancel editing.",
     L"入力された値は正しくありません。ESC キーを押すと編集を取り消します。"},
    {IDS_ABOUT_TITLE, L"About Zentrik", L"Zentrik のバージョン情報"},
    {IDS_ABOUT_MANUAL_LINK, L"Zentrik user's manual", L"Zentrik ユーザーズ マニュアル"},
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

std::wstring LoadText(std::uint32_t id) {
    std::wstring text;
    LoadString(id, text);
    return text;
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
