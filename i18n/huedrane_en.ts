<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>huedrane</name>
    <message>
        <source>%1

このままエクスポートしますか?</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>%1

Export the cel as it is?</translation>
    </message>
    <message>
        <source>%1など、%2個のファイルが上書きされます。処理を続けてよろしいですか？</source>
        <comment>app/SDocumentConversions.cpp</comment>
        <translation>%2 files, %1 among them, will be overwritten. Do you want to continue?</translation>
    </message>
    <message>
        <source>%1のやり直し(&amp;R)</source>
        <comment>app/SHuedraneController.cpp</comment>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>%1を元に戻す(&amp;U)</source>
        <comment>app/SHuedraneController.cpp</comment>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>%1（壊れているため開けません）</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>%1 (damaged, cannot be opened)</translation>
    </message>
    <message>
        <source>1/2倍</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>1/2</translation>
    </message>
    <message>
        <source>1/3倍</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>1/3</translation>
    </message>
    <message>
        <source>1/4倍</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>1/4</translation>
    </message>
    <message>
        <source>24bitカラーで出力(&amp;Q)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Write opa&amp;que 24-bit colour (no alpha)</translation>
    </message>
    <message>
        <source>CRCが一致しません。データが壊れています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>CRC mismatch: the data is corrupted.</translation>
    </message>
    <message>
        <source>HSVを補正します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Corrects the HSV values.</translation>
    </message>
    <message>
        <source>HSV補正(&amp;H)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;HSV Correction...</translation>
    </message>
    <message>
        <source>Huedraneの終了(&amp;X)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Huedraneを再起動すると無効になります。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>They are switched off again when Huedrane restarts.</translation>
    </message>
    <message>
        <source>Huedraneを終了します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Exits Huedrane.</translation>
    </message>
    <message>
        <source>Huedraneファイル(*.hdq)</source>
        <comment>app/SDocumentConversions.cpp</comment>
        <translation>Huedrane document (*.hdq)</translation>
    </message>
    <message>
        <source>INIファイル(*.ini)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>INI file (*.ini)</translation>
    </message>
    <message>
        <source>JPEGイメージ(*.jpg)</source>
        <comment>app/SDocumentCommands.cpp, app/SDocumentConversions.cpp</comment>
        <translation>JPEG image (*.jpg)</translation>
    </message>
    <message>
        <source>JPEGファイル(*.jpg)</source>
        <comment>convert/SSpiAccess.cpp</comment>
        <translation>JPEG file (*.jpg)</translation>
    </message>
    <message>
        <source>JPEG形式</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>JPEG</translation>
    </message>
    <message>
        <source>LIBJPEGモジュールがエラーを返しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The LIBJPEG module returned an error.</translation>
    </message>
    <message>
        <source>LIBPNGモジュールがエラーを返しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The LIBPNG module returned an error.</translation>
    </message>
    <message>
        <source>OLEコンポーネントに関するエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error occurred in an OLE component.</translation>
    </message>
    <message>
        <source>OLEコンポーネントの初期化ができませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The OLE component could not be initialised.</translation>
    </message>
    <message>
        <source>PNGイメージ(*.png)</source>
        <comment>app/SDocumentCommands.cpp, app/SDocumentConversions.cpp</comment>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>PNGファイル(*.png)</source>
        <comment>convert/SSpiAccess.cpp</comment>
        <translation>PNG file (*.png)</translation>
    </message>
    <message>
        <source>PNG形式(推奨)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>PNG (recommended)</translation>
    </message>
    <message>
        <source>RGBを補正します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Corrects the RGB values.</translation>
    </message>
    <message>
        <source>RGB補正(&amp;Q)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>RGB C&amp;orrection...</translation>
    </message>
    <message>
        <source>SPIが次のエラーを返しました。エラーコード：%1</source>
        <comment>convert/SSpiAccess.cpp</comment>
        <translation>The picture plug-in returned an error. Error code: %1</translation>
    </message>
    <message>
        <source>SPIの検索フォルダ</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>SPI plug-in folder</translation>
    </message>
    <message>
        <source>SPIの検索フォルダ(&amp;S)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;SPI plug-in folder</translation>
    </message>
    <message>
        <source>TIFFファイル(*.tif)</source>
        <comment>plugins/tiff/TiffPlugin.cpp</comment>
        <translation>TIFF file (*.tif)</translation>
    </message>
    <message>
        <source>γを補正します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Corrects the gamma.</translation>
    </message>
    <message>
        <source>γ補正(&amp;G)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Gamma Correction...</translation>
    </message>
    <message>
        <source>※保存していない変更を、復元用に別の場所へ書き出します。0で無効になります。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>* Unsaved changes are written to a separate recovery copy. 0 turns this off.</translation>
    </message>
    <message>
        <source>※塗りつぶしは、この幅までの線の隙間を越えません。0で無効になります。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Note: fills do not pass through breaks in the lines up to this width. 0 turns this off.</translation>
    </message>
    <message>
        <source>※次回起動時から有効になります。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Note: a change takes effect from the next start.</translation>
    </message>
    <message>
        <source>※空欄にした場合は、自動検索になります。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Note: if left empty, the plug-ins are found automatically.</translation>
    </message>
    <message>
        <source>「%1」はこのセルの取り込み元の画像です。上書きすると元の画像は失われます。上書きしてよろしいですか？</source>
        <comment>app/SDocumentConversions.cpp</comment>
        <translation>"%1" is the picture this cel was imported from. Overwriting it loses the original picture. Do you want to overwrite it?</translation>
    </message>
    <message>
        <source>おまけ機能</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>Extras</translation>
    </message>
    <message>
        <source>この形式のデータには対応していないので、読み込むことができません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Data in this format is not supported, so it cannot be read.</translation>
    </message>
    <message>
        <source>ご注意!! このページは、保存されません。</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Please note: the settings on this page are not saved.</translation>
    </message>
    <message>
        <source>やり直し</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Redo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <comment>app/SHuedraneController.cpp, app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>アクセスが拒否されました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Access was denied.</translation>
    </message>
    <message>
        <source>アサーション(</source>
        <comment>foundation/SMessage.cpp</comment>
        <translation>Assertion (</translation>
    </message>
    <message>
        <source>アンチホールフィルタを有効にする(&amp;H)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Enable the anti-&amp;hole filter</translation>
    </message>
    <message>
        <source>イメージの位置を調整します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Adjusts the position of the image.</translation>
    </message>
    <message>
        <source>イメージの位置調整(&amp;M)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Adjust I&amp;mage Position...</translation>
    </message>
    <message>
        <source>インポート</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormOption.cpp</comment>
        <translation>Import</translation>
    </message>
    <message>
        <source>インポート(&amp;I)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Import...</translation>
    </message>
    <message>
        <source>インポート中です</source>
        <comment>convert/TConvertThread.cpp</comment>
        <translation>Importing</translation>
    </message>
    <message>
        <source>インポート処理中です</source>
        <comment>convert/SConversionStarters.cpp</comment>
        <translation>Import in progress</translation>
    </message>
    <message>
        <source>インポート時に二値化する(&amp;Q)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;Binarise the lines on import</translation>
    </message>
    <message>
        <source>エクスポート</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormOption.cpp</comment>
        <translation>Export</translation>
    </message>
    <message>
        <source>エクスポート(&amp;E)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Export...</translation>
    </message>
    <message>
        <source>エクスポートの前にチェックする(&amp;W)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Check the cel and &amp;warn before exporting</translation>
    </message>
    <message>
        <source>エクスポート中です</source>
        <comment>convert/TConvertThread.cpp</comment>
        <translation>Exporting</translation>
    </message>
    <message>
        <source>エクスポート処理中です</source>
        <comment>convert/SConversionStarters.cpp</comment>
        <translation>Export in progress</translation>
    </message>
    <message>
        <source>エクスポート時のおまけ機能</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Extras for export</translation>
    </message>
    <message>
        <source>エラー1が発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp, raster/Sxjpeg.cpp</comment>
        <translation>Error 1 occurred.</translation>
    </message>
    <message>
        <source>エラー2が発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Error 2 occurred.</translation>
    </message>
    <message>
        <source>エラー3が発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Error 3 occurred.</translation>
    </message>
    <message>
        <source>エラー4が発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Error 4 occurred.</translation>
    </message>
    <message>
        <source>エラー5が発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Error 5 occurred.</translation>
    </message>
    <message>
        <source>エラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error occurred.</translation>
    </message>
    <message>
        <source>オブジェクトがロックされています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The object is locked.</translation>
    </message>
    <message>
        <source>オブジェクトが休眠状態です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The object is dormant.</translation>
    </message>
    <message>
        <source>オブジェクトが無効です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The object is disabled.</translation>
    </message>
    <message>
        <source>オブジェクトのサイズ変更に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Resizing the object failed.</translation>
    </message>
    <message>
        <source>オブジェクトの作成に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Creating the object failed.</translation>
    </message>
    <message>
        <source>オブジェクトの解放に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Releasing the object failed.</translation>
    </message>
    <message>
        <source>オプション</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>Options</translation>
    </message>
    <message>
        <source>オプション(&amp;O)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>オプションを設定します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Sets the options.</translation>
    </message>
    <message>
        <source>オーバーフローが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An overflow occurred.</translation>
    </message>
    <message>
        <source>カラーグループの削除(&amp;H)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Delete Colour Grou&amp;p</translation>
    </message>
    <message>
        <source>カラーグループの追加(&amp;G)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Add Colour &amp;Group</translation>
    </message>
    <message>
        <source>カラーチャート</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormChart.cpp</comment>
        <translation>Colour Chart</translation>
    </message>
    <message>
        <source>カラーチャート(&amp;C)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Colour Chart...</translation>
    </message>
    <message>
        <source>カラーチャートが保存できませんでした。</source>
        <comment>app/SColourChart.h</comment>
        <translation>The colour chart could not be saved.</translation>
    </message>
    <message>
        <source>カラーチャートが読み込めませんでした。</source>
        <comment>app/SColourChart.h</comment>
        <translation>The colour chart could not be loaded.</translation>
    </message>
    <message>
        <source>カラーチャートの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the colour chart.</translation>
    </message>
    <message>
        <source>カラーパレット</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormPalette.cpp</comment>
        <translation>Colour Palette</translation>
    </message>
    <message>
        <source>カラーパレット(&amp;P)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Colour &amp;Palette...</translation>
    </message>
    <message>
        <source>カラーパレットの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the colour palette.</translation>
    </message>
    <message>
        <source>カラーモード</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Colour Mode</translation>
    </message>
    <message>
        <source>カラーモード(&amp;C)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Colour Mode</translation>
    </message>
    <message>
        <source>ガンドレス塗り</source>
        <comment>paint/SWholeCel.cpp</comment>
        <translation>Gundress Fill</translation>
    </message>
    <message>
        <source>ガンドレス塗り(&amp;G)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Gundress Fill</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>クイックパレット</source>
        <comment>app/SColourChart.h</comment>
        <translation>Quick Palette</translation>
    </message>
    <message>
        <source>クイックパレットから読み込む(&amp;R)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Load f&amp;rom Quick Palette</translation>
    </message>
    <message>
        <source>クイックパレットへ送る(&amp;Q)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Send to &amp;Quick Palette</translation>
    </message>
    <message>
        <source>クリップボードの内容が不正です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The contents of the clipboard are invalid.</translation>
    </message>
    <message>
        <source>クリップボード関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A clipboard error occurred.</translation>
    </message>
    <message>
        <source>グループが選択されていません。</source>
        <comment>app/SColourChart.h</comment>
        <translation>No group is selected.</translation>
    </message>
    <message>
        <source>グループを削除してよろしいですか？</source>
        <comment>app/SColourChart.h</comment>
        <translation>Delete the group?</translation>
    </message>
    <message>
        <source>コーデックが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The codec was not found.</translation>
    </message>
    <message>
        <source>ゴミ</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>speck</translation>
    </message>
    <message>
        <source>システムの言語に合わせる</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Follow the system language</translation>
    </message>
    <message>
        <source>シルエット</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Silhouette</translation>
    </message>
    <message>
        <source>シルエット(&amp;H)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Sil&amp;houette</translation>
    </message>
    <message>
        <source>シルエット表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Turns the silhouette view on or off.</translation>
    </message>
    <message>
        <source>ス</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>ステータスバー(&amp;S)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ステータスバーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the status bar.</translation>
    </message>
    <message>
        <source>スポイトツール(&amp;S)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>Colour &amp;Sampler Tool</translation>
    </message>
    <message>
        <source>チェック %1 / %2: %3 %4 ピクセル</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>Check %1 / %2: %3, %4 pixels</translation>
    </message>
    <message>
        <source>チェック: 問題は見つかりませんでした</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>Check: no problems found</translation>
    </message>
    <message>
        <source>チェック: 塗り残し %1、ゴミ %2、未変換の色トレス線 %3</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>Check: %1 unpainted, %2 specks, %3 unconverted colour trace lines</translation>
    </message>
    <message>
        <source>チェックでゴミとみなす大きさ(&amp;Z)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Speck si&amp;ze in the check: below</translation>
    </message>
    <message>
        <source>チェックで見つかった前の箇所を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the previous finding of the check.</translation>
    </message>
    <message>
        <source>チェックで見つかった次の箇所を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the next finding of the check.</translation>
    </message>
    <message>
        <source>チェック表示(&amp;K)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Chec&amp;k View</translation>
    </message>
    <message>
        <source>チャートを名前を付けて保存</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Save Chart As</translation>
    </message>
    <message>
        <source>チャートを名前を付けて保存(&amp;S)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>&amp;Save Chart As</translation>
    </message>
    <message>
        <source>チャートを読み込む</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Open Chart</translation>
    </message>
    <message>
        <source>チャートを読み込む(&amp;O)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>&amp;Open Chart</translation>
    </message>
    <message>
        <source>チャートを読み込むと、現在のチャートは破棄されます。続けますか？</source>
        <comment>app/SColourChart.h</comment>
        <translation>Opening a chart discards the current chart. Continue?</translation>
    </message>
    <message>
        <source>ツール</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>Tools</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ツールを選択します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Selects the tool.</translation>
    </message>
    <message>
        <source>ツールバー</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>ツールバー(&amp;T)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>ツールバーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the toolbar.</translation>
    </message>
    <message>
        <source>ツールボックス(&amp;Y)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Too&amp;lbox...</translation>
    </message>
    <message>
        <source>ツールボックスを表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the toolbox.</translation>
    </message>
    <message>
        <source>テクスチャー</source>
        <comment>app/gui/boxes/TFormTexture.cpp</comment>
        <translation>Texture</translation>
    </message>
    <message>
        <source>テクスチャー(&amp;X)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Te&amp;xture...</translation>
    </message>
    <message>
        <source>テクスチャーボックスを表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the texture box.</translation>
    </message>
    <message>
        <source>テクスチャーモード</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Texture Mode</translation>
    </message>
    <message>
        <source>ディスクが挿入されていません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>No disk is inserted.</translation>
    </message>
    <message>
        <source>ディスクが書き込み禁止になっています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The disk is write-protected.</translation>
    </message>
    <message>
        <source>ディスクが違います。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Wrong disk.</translation>
    </message>
    <message>
        <source>ディスクの空き容量が足りません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>There is not enough free disk space.</translation>
    </message>
    <message>
        <source>デバイスが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The device was not found.</translation>
    </message>
    <message>
        <source>デバイスへのコマンドが失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A command to the device failed.</translation>
    </message>
    <message>
        <source>デバイスコンテキストに関するエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A device context error occurred.</translation>
    </message>
    <message>
        <source>デバイス関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A device error occurred.</translation>
    </message>
    <message>
        <source>デバッグ用</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Debug</translation>
    </message>
    <message>
        <source>デバッグ用の情報を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows information for debugging.</translation>
    </message>
    <message>
        <source>データがありません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>There is no data.</translation>
    </message>
    <message>
        <source>データが不正です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is invalid.</translation>
    </message>
    <message>
        <source>データが含まれていません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>It contains no data.</translation>
    </message>
    <message>
        <source>データが壊れています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is corrupted.</translation>
    </message>
    <message>
        <source>データが壊れているか、または誤りがあるため、読み込むことができません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is corrupted or contains errors, so it cannot be read.</translation>
    </message>
    <message>
        <source>データが大きすぎます。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is too large.</translation>
    </message>
    <message>
        <source>データが空です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is empty.</translation>
    </message>
    <message>
        <source>データが途中で終わっています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is truncated.</translation>
    </message>
    <message>
        <source>データの形式が不正です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data format is invalid.</translation>
    </message>
    <message>
        <source>トレス線レイヤー</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Trace Line Layer</translation>
    </message>
    <message>
        <source>トレス線レイヤー(&amp;T)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Trace Line Layer</translation>
    </message>
    <message>
        <source>トレス線レイヤーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the trace line layer.</translation>
    </message>
    <message>
        <source>トレス線変換</source>
        <comment>paint/STools.cpp</comment>
        <translation>Line Conversion</translation>
    </message>
    <message>
        <source>トレス線変換ツール(&amp;U)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>Colo&amp;ur Line Conversion Tool</translation>
    </message>
    <message>
        <source>トレース</source>
        <comment>paint/STools.cpp</comment>
        <translation>Trace Pen</translation>
    </message>
    <message>
        <source>トレースツール(&amp;T)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Trace Pen Tool</translation>
    </message>
    <message>
        <source>トレースペンの太さを選択します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Selects the width of the trace pen.</translation>
    </message>
    <message>
        <source>トレースペン中(&amp;3)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;3 Medium Trace Pen</translation>
    </message>
    <message>
        <source>トレースペン太(&amp;4)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;4 Thick Trace Pen</translation>
    </message>
    <message>
        <source>トレースペン極太(&amp;5)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;5 Extra Thick Trace Pen</translation>
    </message>
    <message>
        <source>トレースペン極細(&amp;1)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;1 Extra Fine Trace Pen</translation>
    </message>
    <message>
        <source>トレースペン細(&amp;2)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;2 Fine Trace Pen</translation>
    </message>
    <message>
        <source>トレース線レイヤーのみ</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Trace line layer only</translation>
    </message>
    <message>
        <source>トレース面とペイント面を現在の色で塗りつぶします。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Fills the trace layer and the paint layer with the current colour.</translation>
    </message>
    <message>
        <source>トレース面を塗りつぶし(&amp;2)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;2 Fill Trace Layer</translation>
    </message>
    <message>
        <source>トレース面を塗り替え(&amp;4)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;4 Repaint Trace Layer</translation>
    </message>
    <message>
        <source>トレース面を塗り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Repaints the trace layer.</translation>
    </message>
    <message>
        <source>トレース面全体を現在の色で塗りつぶします。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Fills the whole trace layer with the current colour.</translation>
    </message>
    <message>
        <source>ドライブが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The drive was not found.</translation>
    </message>
    <message>
        <source>ドライブ関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A drive error occurred.</translation>
    </message>
    <message>
        <source>ハンドルが不正です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The handle is invalid.</translation>
    </message>
    <message>
        <source>バッファが足りません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The buffer is too small.</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <comment>app/gui/boxes/TFormVersion.cpp</comment>
        <translation>About Huedrane</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;About Huedrane...</translation>
    </message>
    <message>
        <source>バージョン情報を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the version information.</translation>
    </message>
    <message>
        <source>パスが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The path was not found.</translation>
    </message>
    <message>
        <source>パスにアクセスできませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The path could not be accessed.</translation>
    </message>
    <message>
        <source>ビットマップ</source>
        <comment>app/gui/TStatusBar.cpp, app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Bitmap</translation>
    </message>
    <message>
        <source>ビットマップ(*.bmp)</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>ビットマップイメージ(*.bmp)</source>
        <comment>app/SDocumentConversions.cpp</comment>
        <translation>Bitmap image (*.bmp)</translation>
    </message>
    <message>
        <source>ビットマップファイル(*.bmp)</source>
        <comment>convert/SSpiAccess.cpp</comment>
        <translation>Bitmap file (*.bmp)</translation>
    </message>
    <message>
        <source>ビットマップモード</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Bitmap Mode</translation>
    </message>
    <message>
        <source>ビットマップモード(&amp;X)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Bitmap Mode</translation>
    </message>
    <message>
        <source>ピクセル</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>pixels</translation>
    </message>
    <message>
        <source>ピクセル未満</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>pixels</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ファイルが他のプログラムで使用されています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is in use by another program.</translation>
    </message>
    <message>
        <source>ファイルが既に存在します。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file already exists.</translation>
    </message>
    <message>
        <source>ファイルが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <source>ファイルが途中で終わっています。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is truncated.</translation>
    </message>
    <message>
        <source>ファイルが開けませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file could not be opened.</translation>
    </message>
    <message>
        <source>ファイルにアクセスできませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file could not be accessed.</translation>
    </message>
    <message>
        <source>ファイルのインポート</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Import File</translation>
    </message>
    <message>
        <source>ファイルのエクスポート</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Export File</translation>
    </message>
    <message>
        <source>ファイルのエンコードに失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Encoding the file failed.</translation>
    </message>
    <message>
        <source>ファイルのサイズ変更ができませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file could not be resized.</translation>
    </message>
    <message>
        <source>ファイルのダイアログでエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error occurred in the file dialog.</translation>
    </message>
    <message>
        <source>ファイルのデコードに失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Decoding the file failed.</translation>
    </message>
    <message>
        <source>ファイルの一括インポート</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Batch Import Files</translation>
    </message>
    <message>
        <source>ファイルの一括エクスポート</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Batch Export Files</translation>
    </message>
    <message>
        <source>ファイルの履歴を消去します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Clears the file history.</translation>
    </message>
    <message>
        <source>ファイルの終わりに達しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The end of the file was reached.</translation>
    </message>
    <message>
        <source>ファイルの解放に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Closing the file failed.</translation>
    </message>
    <message>
        <source>ファイルを開きます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Opens a file.</translation>
    </message>
    <message>
        <source>ファイル名が無効です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file name is invalid.</translation>
    </message>
    <message>
        <source>ファイル名に誤りがあります。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file name is wrong.</translation>
    </message>
    <message>
        <source>ファイル名は不明</source>
        <comment>convert/SConversionStarters.cpp</comment>
        <translation>File name unknown</translation>
    </message>
    <message>
        <source>ファイル関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A file error occurred.</translation>
    </message>
    <message>
        <source>ブラシ</source>
        <comment>paint/STools.cpp</comment>
        <translation>Brush</translation>
    </message>
    <message>
        <source>ブラシツール(&amp;A)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Airbrush Tool</translation>
    </message>
    <message>
        <source>ブラシボックス</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormBrush.cpp</comment>
        <translation>Brush Box</translation>
    </message>
    <message>
        <source>ブラシボックス(&amp;B)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Brush Box...</translation>
    </message>
    <message>
        <source>ブラシボックスの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the brush box.</translation>
    </message>
    <message>
        <source>プラグインが例外を送出しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The plug-in threw an exception.</translation>
    </message>
    <message>
        <source>プラグインが見つかりません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The plug-in was not found.</translation>
    </message>
    <message>
        <source>プラグインのファイル名が指定されていません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>No plug-in file name was given.</translation>
    </message>
    <message>
        <source>プリンタ関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A printer error occurred.</translation>
    </message>
    <message>
        <source>プログラムの内部エラーです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Internal program error.</translation>
    </message>
    <message>
        <source>プログラム内の関数に、誤った引数が渡されました。開発者にご連絡ください。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A function of the program was given a wrong argument. Please contact the developer.</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Help</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormOption.cpp</comment>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヘルプが表示できませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The help could not be shown.</translation>
    </message>
    <message>
        <source>ヘルプの目次(&amp;C)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Help &amp;Contents</translation>
    </message>
    <message>
        <source>ヘルプの目次を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the contents of the help.</translation>
    </message>
    <message>
        <source>ペイント</source>
        <comment>paint/STools.cpp</comment>
        <translation>Paint</translation>
    </message>
    <message>
        <source>ペイントツール(&amp;P)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Paint Tool</translation>
    </message>
    <message>
        <source>ペイント面を塗りつぶし(&amp;1)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;1 Fill Paint Layer</translation>
    </message>
    <message>
        <source>ペイント面レイヤー</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Paint Layer</translation>
    </message>
    <message>
        <source>ペイント面レイヤー(&amp;P)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Paint Layer</translation>
    </message>
    <message>
        <source>ペイント面レイヤーのみ</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Paint layer only</translation>
    </message>
    <message>
        <source>ペイント面レイヤーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the paint layer.</translation>
    </message>
    <message>
        <source>ペイント面全体を現在の色で塗りつぶします。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Fills the whole paint layer with the current colour.</translation>
    </message>
    <message>
        <source>ポインタが不正です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The pointer is invalid.</translation>
    </message>
    <message>
        <source>ポインタ関係のエラーです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Pointer error.</translation>
    </message>
    <message>
        <source>マニュアルが見つかりません: %1</source>
        <comment>foundation/SHelp.cpp</comment>
        <translation>The manual was not found: %1</translation>
    </message>
    <message>
        <source>マニュアルの場所: %1</source>
        <comment>foundation/SHelp.cpp</comment>
        <translation>The manual is at: %1</translation>
    </message>
    <message>
        <source>マルチメディア関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A multimedia error occurred.</translation>
    </message>
    <message>
        <source>メディアデバイスが開けませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The media device could not be opened.</translation>
    </message>
    <message>
        <source>メモ</source>
        <comment>app/gui/boxes/TFormMemo.cpp</comment>
        <translation>Memo</translation>
    </message>
    <message>
        <source>メモ(&amp;M)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Memo...</translation>
    </message>
    <message>
        <source>メモの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the memo.</translation>
    </message>
    <message>
        <source>メモリが足りません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Not enough memory.</translation>
    </message>
    <message>
        <source>メモリの確保に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Allocating memory failed.</translation>
    </message>
    <message>
        <source>メモリの解放に失敗しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Releasing memory failed.</translation>
    </message>
    <message>
        <source>メモリ関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A memory error occurred.</translation>
    </message>
    <message>
        <source>ユーザーにより、操作が中止されました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The operation was aborted by the user.</translation>
    </message>
    <message>
        <source>ライブラリが見つかりませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The library was not found.</translation>
    </message>
    <message>
        <source>レイヤー(&amp;L)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Layer</translation>
    </message>
    <message>
        <source>レジストリ関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A registry error occurred.</translation>
    </message>
    <message>
        <source>一括インポート(J)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Batch Import...</translation>
    </message>
    <message>
        <source>一括インポート変換中です</source>
        <comment>convert/TConvertThread.cpp</comment>
        <translation>Batch importing</translation>
    </message>
    <message>
        <source>一括エクスポート(&amp;K)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Batch Export...</translation>
    </message>
    <message>
        <source>一括エクスポート変換中です</source>
        <comment>convert/SConversionStarters.cpp, convert/TConvertThread.cpp</comment>
        <translation>Batch exporting</translation>
    </message>
    <message>
        <source>一括色トレス線変換</source>
        <comment>paint/SWholeCel.cpp</comment>
        <translation>Convert All Black Lines to Red</translation>
    </message>
    <message>
        <source>一括色トレース線変換(&amp;4)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;4 Convert All Black Lines to Red</translation>
    </message>
    <message>
        <source>一時作業用のメモリが足りず、作業を中断しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Not enough temporary working memory; the work was stopped.</translation>
    </message>
    <message>
        <source>一時作業用のメモリが足りないため、作業を中断しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The work was stopped because there is not enough temporary working memory.</translation>
    </message>
    <message>
        <source>一般的なエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A general error occurred.</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>下敷きを含める</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Include the under layer</translation>
    </message>
    <message>
        <source>下敷きレイヤー(&amp;R)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Unde&amp;r Layer</translation>
    </message>
    <message>
        <source>下敷きレイヤーの破棄(&amp;D)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Discard Under Layer</translation>
    </message>
    <message>
        <source>下敷きレイヤーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the under layer.</translation>
    </message>
    <message>
        <source>下敷きレイヤーの読み込み</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Load Under Layer</translation>
    </message>
    <message>
        <source>下敷きレイヤーの読み込み(&amp;F)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Load Under Layer from &amp;File</translation>
    </message>
    <message>
        <source>下敷きレイヤーを破棄します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Discards the under layer.</translation>
    </message>
    <message>
        <source>下敷きレイヤーを読み込みます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Loads the under layer from a file.</translation>
    </message>
    <message>
        <source>不可逆圧縮</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Lossy compression</translation>
    </message>
    <message>
        <source>不正なファイルだったので読み込めませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is invalid, so it could not be read.</translation>
    </message>
    <message>
        <source>不正なプラグインが呼び出されました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An invalid plug-in was called.</translation>
    </message>
    <message>
        <source>両面塗りつぶし(&amp;3)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;3 Fill Both Layers</translation>
    </message>
    <message>
        <source>中止</source>
        <comment>app/gui/TFormProgress.cpp</comment>
        <translation>Abort</translation>
    </message>
    <message>
        <source>予期せぬエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An unexpected error occurred.</translation>
    </message>
    <message>
        <source>作業の復元</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>Recover Work</translation>
    </message>
    <message>
        <source>作業用バッファがあふれたため、処理を中断しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The working buffer overflowed, so processing was stopped.</translation>
    </message>
    <message>
        <source>使用中のリソースが多すぎます。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Too many resources are in use.</translation>
    </message>
    <message>
        <source>保存されていない新しいセル</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>New cel, never saved</translation>
    </message>
    <message>
        <source>保存して、同じフォルダの前のファイルを開きます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Saves, then opens the previous file of the same folder.</translation>
    </message>
    <message>
        <source>保存して、同じフォルダの次のファイルを開きます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Saves, then opens the next file of the same folder.</translation>
    </message>
    <message>
        <source>保存して、現在のファイルを参照画像に加えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Saves, then adds the current file to the reference images.</translation>
    </message>
    <message>
        <source>保存して前のファイル</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save and Open Previous File</translation>
    </message>
    <message>
        <source>保存して前のファイル(&amp;P)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save and Open &amp;Previous File</translation>
    </message>
    <message>
        <source>保存して次のファイル</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save and Open Next File</translation>
    </message>
    <message>
        <source>保存して次のファイル(&amp;Q)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save and Open Nex&amp;t File</translation>
    </message>
    <message>
        <source>保存して色指定表に追加(&amp;R)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save and Add to &amp;Reference Images</translation>
    </message>
    <message>
        <source>修</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>F</translation>
    </message>
    <message>
        <source>修正</source>
        <comment>paint/STools.cpp</comment>
        <translation>Boundary Fix</translation>
    </message>
    <message>
        <source>値が範囲外です。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The value is out of range.</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Undo</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <comment>app/SHuedraneController.cpp, app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>元に戻すためのメモリの上限(&amp;B)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Undo memory &amp;budget</translation>
    </message>
    <message>
        <source>元に戻せる回数(&amp;D)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Undo &amp;depth (steps)</translation>
    </message>
    <message>
        <source>入出力関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An input/output error occurred.</translation>
    </message>
    <message>
        <source>入力レベルを変更する(&amp;I)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Adjust the &amp;input level</translation>
    </message>
    <message>
        <source>出力レイヤー(&amp;L)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Output &amp;layers</translation>
    </message>
    <message>
        <source>出力形式(&amp;O)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;Output format</translation>
    </message>
    <message>
        <source>切れ込みツール</source>
        <comment>paint/STools.cpp</comment>
        <translation>Knife</translation>
    </message>
    <message>
        <source>切れ込みツール(&amp;K)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Knife Tool</translation>
    </message>
    <message>
        <source>別の形式のファイルなので読み込めませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is in another format, so it could not be read.</translation>
    </message>
    <message>
        <source>前のセルから色を写す(&amp;C)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Carry Colours from Previous Cel</translation>
    </message>
    <message>
        <source>前のチェック項目へ(&amp;U)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Jump to Previo&amp;us Finding</translation>
    </message>
    <message>
        <source>前の参照画像</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Previous Reference Image</translation>
    </message>
    <message>
        <source>前の参照画像(&amp;P)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Previous Reference Image</translation>
    </message>
    <message>
        <source>前の参照画像を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the previous reference image.</translation>
    </message>
    <message>
        <source>前回、保存されないまま終了したセルがあります。開いて保存し直すか、破棄してください。</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>Some cels were not saved when Huedrane last ended. Open them and save again, or discard them.</translation>
    </message>
    <message>
        <source>動作環境に関するエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error concerning the operating environment occurred.</translation>
    </message>
    <message>
        <source>半径</source>
        <comment>app/gui/boxes/TFormBrush.cpp</comment>
        <translation>Radius</translation>
    </message>
    <message>
        <source>原画のみ</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Genga only</translation>
    </message>
    <message>
        <source>原画の画像なので、上書きできませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is the genga picture of a cel, so it was not overwritten.</translation>
    </message>
    <message>
        <source>原画レイヤー</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Genga Layer</translation>
    </message>
    <message>
        <source>原画レイヤー(&amp;G)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Genga Layer</translation>
    </message>
    <message>
        <source>原画レイヤーの圧縮レベル(&amp;L)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Genga &amp;layer compression</translation>
    </message>
    <message>
        <source>原画レイヤーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the genga layer.</translation>
    </message>
    <message>
        <source>原画レイヤーを含めない</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Leave out the genga layer</translation>
    </message>
    <message>
        <source>参照画像(&amp;R)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Reference</translation>
    </message>
    <message>
        <source>参照画像で塗ります。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Paints with the reference image.</translation>
    </message>
    <message>
        <source>参照画像の一覧</source>
        <comment>app/SReferenceCommands.cpp</comment>
        <translation>Reference Image List</translation>
    </message>
    <message>
        <source>参照画像の一覧(&amp;L)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Reference Image &amp;List...</translation>
    </message>
    <message>
        <source>参照画像の一覧を編集します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Edits the list of reference images.</translation>
    </message>
    <message>
        <source>参照画像の再読み込み</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Update Reference Image</translation>
    </message>
    <message>
        <source>参照画像の再読み込み(&amp;U)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Update Reference Image</translation>
    </message>
    <message>
        <source>参照画像の拡大</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Zoom In Reference Image</translation>
    </message>
    <message>
        <source>参照画像の拡大(&amp;+)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zoom &amp;In Reference Image</translation>
    </message>
    <message>
        <source>参照画像の等倍表示(&amp;Z)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Reset Reference Image &amp;Zoom</translation>
    </message>
    <message>
        <source>参照画像の縮小</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Zoom Out Reference Image</translation>
    </message>
    <message>
        <source>参照画像の縮小(&amp;-)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zoom &amp;Out Reference Image</translation>
    </message>
    <message>
        <source>参照画像の読み込み</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Load Reference Images</translation>
    </message>
    <message>
        <source>参照画像へ出力(&amp;R)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Export to &amp;Reference Image...</translation>
    </message>
    <message>
        <source>参照画像をリストに登録します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Adds reference images to the list.</translation>
    </message>
    <message>
        <source>参照画像を拡大表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zooms in on the reference image.</translation>
    </message>
    <message>
        <source>参照画像を等倍で表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the reference image at actual size.</translation>
    </message>
    <message>
        <source>参照画像を縮小表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zooms out of the reference image.</translation>
    </message>
    <message>
        <source>参照画像を読み込み直します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Reads the reference image again.</translation>
    </message>
    <message>
        <source>参照画像リストから抹消</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Delete from Reference Image List</translation>
    </message>
    <message>
        <source>参照画像リストから抹消(&amp;D)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Delete from Reference Image List</translation>
    </message>
    <message>
        <source>参照画像リストに登録</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Add to Reference Image List</translation>
    </message>
    <message>
        <source>参照画像リストに登録(&amp;A)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Add to Reference Image List...</translation>
    </message>
    <message>
        <source>取り消した操作をやり直します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Redoes the undone action.</translation>
    </message>
    <message>
        <source>受け付けられないデータです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data cannot be accepted.</translation>
    </message>
    <message>
        <source>右クリックのメニューでカラーグループと色を追加できます。</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>Add colour groups and colours with the right-click menu.</translation>
    </message>
    <message>
        <source>同じフォルダの前のセルの色を、現在の画像に写します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Carries the colours of the previous cel of the same folder to the current picture.</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save As</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>吹</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>A</translation>
    </message>
    <message>
        <source>回</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>steps</translation>
    </message>
    <message>
        <source>基本設定</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>General</translation>
    </message>
    <message>
        <source>塗</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>P</translation>
    </message>
    <message>
        <source>塗りつぶし</source>
        <comment>paint/SWholeCel.cpp</comment>
        <translation>Fill</translation>
    </message>
    <message>
        <source>塗りつぶしが閉じる線の隙間の表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the breaks in the lines that fills close.</translation>
    </message>
    <message>
        <source>塗り替え</source>
        <comment>paint/STools.cpp</comment>
        <translation>Repaint</translation>
    </message>
    <message>
        <source>塗り替えツール(&amp;R)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Repaint Tool</translation>
    </message>
    <message>
        <source>塗り残し</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>unpainted area</translation>
    </message>
    <message>
        <source>塗り残し %1 / %2</source>
        <comment>app/SCarryCommands.cpp</comment>
        <translation>Unpainted region %1 / %2</translation>
    </message>
    <message>
        <source>塗り残し、ゴミ、未変換の色トレス線の表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides unpainted areas, specks and unconverted colour trace lines.</translation>
    </message>
    <message>
        <source>境界修正ツール(&amp;F)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>Boundary &amp;Fix Tool</translation>
    </message>
    <message>
        <source>境界削除ツール(&amp;G)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>Boundary &amp;Delete Tool</translation>
    </message>
    <message>
        <source>変更(&amp;C)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;Change</translation>
    </message>
    <message>
        <source>変更(&amp;C)...</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;Change...</translation>
    </message>
    <message>
        <source>対応していないバージョンのデータです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is of an unsupported version.</translation>
    </message>
    <message>
        <source>対応していないバージョンのデータなので、読み込むことができません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The data is of an unsupported version, so it cannot be read.</translation>
    </message>
    <message>
        <source>対応していないバージョンのファイルなので読み込めませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The file is of an unsupported version, so it could not be read.</translation>
    </message>
    <message>
        <source>対応していない形式のPNGファイルです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>This kind of PNG file is not supported.</translation>
    </message>
    <message>
        <source>対応している画像ファイル</source>
        <comment>convert/SSpiAccess.cpp</comment>
        <translation>Supported picture files</translation>
    </message>
    <message>
        <source>履歴(&amp;H)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;History</translation>
    </message>
    <message>
        <source>履歴のクリア(&amp;C)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Clear History</translation>
    </message>
    <message>
        <source>履歴のファイルを開きます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Opens the file from the history.</translation>
    </message>
    <message>
        <source>形状</source>
        <comment>app/gui/boxes/TFormBrush.cpp</comment>
        <translation>Shape</translation>
    </message>
    <message>
        <source>後で(&amp;L)</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>&amp;Later</translation>
    </message>
    <message>
        <source>手</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>H</translation>
    </message>
    <message>
        <source>手のひらツール(&amp;H)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Hand Tool</translation>
    </message>
    <message>
        <source>拡</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>Z</translation>
    </message>
    <message>
        <source>拡大</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zoom In</translation>
    </message>
    <message>
        <source>拡大(&amp;+)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>拡張プラグインの中でエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error occurred in a plug-in.</translation>
    </message>
    <message>
        <source>拡張レイヤー</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Extra Layer</translation>
    </message>
    <message>
        <source>拡張レイヤー(&amp;E)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Extra Layer</translation>
    </message>
    <message>
        <source>拡張レイヤーのみ</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Extra layer only</translation>
    </message>
    <message>
        <source>拡張レイヤーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the extra layer.</translation>
    </message>
    <message>
        <source>拡張レイヤーを塗りつぶし(&amp;3)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;3 Fill Extra Layer</translation>
    </message>
    <message>
        <source>拡張レイヤーブラシ</source>
        <comment>paint/STools.cpp</comment>
        <translation>Extra Layer Brush</translation>
    </message>
    <message>
        <source>拡張レイヤーブラシ(Z)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>Extra Layer Brush</translation>
    </message>
    <message>
        <source>拡張レイヤー全体を現在の色で塗りつぶします。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Fills the whole extra layer with the current colour.</translation>
    </message>
    <message>
        <source>操作がキャンセルされました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The operation was cancelled.</translation>
    </message>
    <message>
        <source>文字列が長すぎます。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The string is too long.</translation>
    </message>
    <message>
        <source>新しいグループ</source>
        <comment>app/SColourChart.h</comment>
        <translation>New group</translation>
    </message>
    <message>
        <source>新しい色</source>
        <comment>app/SColourChart.h</comment>
        <translation>New colour</translation>
    </message>
    <message>
        <source>明度を補正します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Corrects the brightness.</translation>
    </message>
    <message>
        <source>明度補正(&amp;B)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Brightness Correction...</translation>
    </message>
    <message>
        <source>最大値</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>最小値</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>未変換の色トレス線</source>
        <comment>app/SCheckView.cpp</comment>
        <translation>unconverted colour trace line</translation>
    </message>
    <message>
        <source>未定義のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An undefined error occurred.</translation>
    </message>
    <message>
        <source>模</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>X</translation>
    </message>
    <message>
        <source>次のチェック項目へ(&amp;J)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Jump to Next Finding</translation>
    </message>
    <message>
        <source>次の参照画像</source>
        <comment>app/gui/TFormMainBoxes.cpp</comment>
        <translation>Next Reference Image</translation>
    </message>
    <message>
        <source>次の参照画像(&amp;N)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Next Reference Image</translation>
    </message>
    <message>
        <source>次の参照画像を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the next reference image.</translation>
    </message>
    <message>
        <source>次の塗り残しへ(&amp;L)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Next Area &amp;Left Unpainted</translation>
    </message>
    <message>
        <source>消</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>E</translation>
    </message>
    <message>
        <source>消しゴム</source>
        <comment>app/gui/TStatusBar.cpp</comment>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>消しゴムで消します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Erases with the eraser.</translation>
    </message>
    <message>
        <source>消しゴムモード</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Eraser Mode</translation>
    </message>
    <message>
        <source>消しゴムモード(&amp;E)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Eraser Mode</translation>
    </message>
    <message>
        <source>消去</source>
        <comment>app/gui/TFormMainMenus.cpp, app/gui/boxes/TFormMemo.cpp</comment>
        <translation>Clear</translation>
    </message>
    <message>
        <source>消去(&amp;N)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>準備ができていません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Not ready.</translation>
    </message>
    <message>
        <source>濃度</source>
        <comment>app/gui/boxes/TFormBrush.cpp</comment>
        <translation>Density</translation>
    </message>
    <message>
        <source>無題 - Huedrane</source>
        <comment>app/SHuedraneController.cpp</comment>
        <translation>Untitled - Huedrane</translation>
    </message>
    <message>
        <source>無題.hdq</source>
        <comment>app/SHuedraneController.cpp</comment>
        <translation>Untitled.hdq</translation>
    </message>
    <message>
        <source>現在の使用量: %1 MB</source>
        <comment>app/gui/boxes/TFormOption.cpp</comment>
        <translation>In use now: %1 MB</translation>
    </message>
    <message>
        <source>現在の参照画像をリストから抹消します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Removes the current reference image from the list.</translation>
    </message>
    <message>
        <source>現在の画像に名前を付けて保存します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Saves the current picture under a new name.</translation>
    </message>
    <message>
        <source>現在の画像を上書き保存します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Saves the current picture.</translation>
    </message>
    <message>
        <source>現在の画像を出力して参照画像に加えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Exports the current picture and adds it to the reference images.</translation>
    </message>
    <message>
        <source>現在の画像を画像ファイルに出力します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Exports the current picture to a picture file.</translation>
    </message>
    <message>
        <source>現在の画像を破棄します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Discards the current picture.</translation>
    </message>
    <message>
        <source>現在の色で塗ります。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Paints with the current colour.</translation>
    </message>
    <message>
        <source>用紙関係のエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A paper error occurred.</translation>
    </message>
    <message>
        <source>画像ファイルを読み込みます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Imports a picture file.</translation>
    </message>
    <message>
        <source>白レベル</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>White level</translation>
    </message>
    <message>
        <source>直前の操作を取り消します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Undoes the last action.</translation>
    </message>
    <message>
        <source>破棄(&amp;D)</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>秒</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>seconds</translation>
    </message>
    <message>
        <source>空のファイルを読み込もうとしました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An attempt was made to read an empty file.</translation>
    </message>
    <message>
        <source>等倍</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Full size</translation>
    </message>
    <message>
        <source>等倍(&amp;R)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Reset Zoom</translation>
    </message>
    <message>
        <source>等倍で表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the cel at actual size.</translation>
    </message>
    <message>
        <source>線</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>T</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>縮小</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zoom Out</translation>
    </message>
    <message>
        <source>縮小(&amp;-)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Zoom Out</translation>
    </message>
    <message>
        <source>縮小倍率(&amp;M)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Output &amp;magnification</translation>
    </message>
    <message>
        <source>背景と端に接する塗り残しもチェックする(&amp;E)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Also check the background and unpainted areas touching the &amp;edge</translation>
    </message>
    <message>
        <source>背景色</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>自動保存できませんでした: %1</source>
        <comment>app/gui/TFormMainAutosave.cpp</comment>
        <translation>Autosave failed: %1</translation>
    </message>
    <message>
        <source>自動保存までの操作の回数(&amp;A)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>&amp;Autosave after this many steps</translation>
    </message>
    <message>
        <source>自動保存までの時間(&amp;T)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Autosave after this &amp;time</translation>
    </message>
    <message>
        <source>致命的なエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A fatal error occurred.</translation>
    </message>
    <message>
        <source>色</source>
        <comment>app/gui/boxes/TFormToolbox.cpp</comment>
        <translation>C</translation>
    </message>
    <message>
        <source>色の削除(&amp;D)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>&amp;Delete Colour</translation>
    </message>
    <message>
        <source>色の引き継ぎ</source>
        <comment>cli/CliCarry.cpp</comment>
        <translation>Carry Colours</translation>
    </message>
    <message>
        <source>色の範囲を変更する(&amp;G)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Limit the colour ran&amp;ge</translation>
    </message>
    <message>
        <source>色の追加(&amp;A)</source>
        <comment>app/gui/boxes/TFormChart.cpp</comment>
        <translation>&amp;Add Colour</translation>
    </message>
    <message>
        <source>色を写しています</source>
        <comment>app/SCarryCommands.cpp</comment>
        <translation>Carrying colours</translation>
    </message>
    <message>
        <source>色を写しました: %1 領域を塗り、%2 領域を残しました</source>
        <comment>app/SCarryCommands.cpp</comment>
        <translation>Colours carried: %1 regions painted, %2 left</translation>
    </message>
    <message>
        <source>色を写す</source>
        <comment>app/SCarryCommands.cpp</comment>
        <translation>Carry Colours</translation>
    </message>
    <message>
        <source>色を写すセルが塗られていません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The cel to carry colours from is not painted.</translation>
    </message>
    <message>
        <source>色を写すセルと大きさが違います。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The cel to carry colours from has a different size.</translation>
    </message>
    <message>
        <source>色を写すセルの選択</source>
        <comment>app/SDocumentCommands.cpp</comment>
        <translation>Choose the Cel to Carry Colours From</translation>
    </message>
    <message>
        <source>色を写すセルを選ぶ(&amp;S)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Select Cel to Carry Colours From...</translation>
    </message>
    <message>
        <source>色を写す前のセルが見つかりません。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>No previous cel to carry colours from was found.</translation>
    </message>
    <message>
        <source>色を写せずに残した次の領域を表示します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows the next area the colour carry left unpainted.</translation>
    </message>
    <message>
        <source>虫眼鏡ツール(&amp;L)</source>
        <comment>app/SMenuStates.cpp</comment>
        <translation>&amp;Loupe Tool</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>表示を拡大します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zooms in.</translation>
    </message>
    <message>
        <source>表示を縮小します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Zooms out.</translation>
    </message>
    <message>
        <source>表示言語(&amp;N)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Display la&amp;nguage</translation>
    </message>
    <message>
        <source>複数のファイルをまとめて画像ファイルに出力します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Exports several files to picture files at once.</translation>
    </message>
    <message>
        <source>複数の画像ファイルをまとめて読み込みます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Imports several picture files at once.</translation>
    </message>
    <message>
        <source>読み書きの途中でエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An error occurred while reading or writing.</translation>
    </message>
    <message>
        <source>輪郭線を二値化する(&amp;R)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Bina&amp;rise the outline's alpha</translation>
    </message>
    <message>
        <source>追加ツールバー(&amp;A)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Additional Toolbar</translation>
    </message>
    <message>
        <source>追加ツールバーの表示を切り替えます。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Shows or hides the additional toolbar.</translation>
    </message>
    <message>
        <source>通常のファイルではないので、書き込めませんでした。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>It is not a regular file, so it could not be written.</translation>
    </message>
    <message>
        <source>通常出力</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Normal output</translation>
    </message>
    <message>
        <source>通常圧縮</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Normal compression</translation>
    </message>
    <message>
        <source>選んだセルの色を、現在の画像に写します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Carries the colours of a chosen cel to the current picture.</translation>
    </message>
    <message>
        <source>選択したセルの復元用のコピーを破棄します。よろしいですか？</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>Discard the recovery copies of the selected cels?</translation>
    </message>
    <message>
        <source>配列の範囲外のインデックスにアクセスしました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>An array index out of range was accessed.</translation>
    </message>
    <message>
        <source>配列の終わりに達しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The end of the array was reached.</translation>
    </message>
    <message>
        <source>配列変数のサイズが大きすぎるか小さすぎます。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The size of an array variable is too large or too small.</translation>
    </message>
    <message>
        <source>閉じる隙間を表示(&amp;G)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Show Closed &amp;Gaps</translation>
    </message>
    <message>
        <source>閉領域とトレス面を塗りつぶします。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Fills the closed regions and the trace layer.</translation>
    </message>
    <message>
        <source>開いているファイルが多すぎます。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Too many files are open.</translation>
    </message>
    <message>
        <source>開く</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Open</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <comment>app/gui/TFormRecovery.cpp</comment>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>関数にヌルポインタが渡されるエラーが発生しました。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>A null pointer was passed to a function.</translation>
    </message>
    <message>
        <source>関数の定義域エラーです。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>Function domain error.</translation>
    </message>
    <message>
        <source>関数の引数リストに誤りがあります。</source>
        <comment>foundation/SErrorRegistry.cpp</comment>
        <translation>The argument list of a function is wrong.</translation>
    </message>
    <message>
        <source>隙間 </source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Gap </translation>
    </message>
    <message>
        <source>隙間 なし</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Gap off</translation>
    </message>
    <message>
        <source>隙間を閉じる(&amp;G)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Close &amp;gaps</translation>
    </message>
    <message>
        <source>隙間を閉じる: 塗りつぶしが越えない線の隙間の幅 (ピクセル、0で無効)</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Close gaps: fills do not pass through breaks in the lines up to this width (pixels, 0 turns it off)</translation>
    </message>
    <message>
        <source>黒トレス線の色を変更(&amp;T)</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Change the colour of black &amp;trace lines</translation>
    </message>
    <message>
        <source>黒トレース線を、全て赤トレス線に変換します。</source>
        <comment>app/gui/TFormMainMenus.cpp</comment>
        <translation>Converts all black trace lines to red trace lines.</translation>
    </message>
    <message>
        <source>黒レベル</source>
        <comment>app/gui/boxes/TFormOptionPages.cpp</comment>
        <translation>Black level</translation>
    </message>
</context>
</TS>
