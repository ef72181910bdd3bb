<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>AboutDlg</name>
    <message>
        <location filename="../AboutDlg.ui" line="+14"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;vextora&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;vextora&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kestrelsweep</source>
        <translation>Kestrelsweep</translation>
    </message>
    <message>
        <location line="+4"/>
        <location filename="../AboutDlg.cpp" line="+16"/>
        <source>Version </source>
        <translation>バージョン </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-size:13px; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep is an application that can uninstall application and all related files clean on Mac. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;It is easy to use Just select the application name you want to remove in the window. And then click the Remove button.Also you can search the application you with keyword, this can make you select the application quickly. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;To learn more, please visit &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Vextora Homepage &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Product Overview&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;
&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;style type=&quot;text/css&quot;&gt;
p, li { white-space: pre-wrap; }
&lt;/style&gt;&lt;/head&gt;&lt;body style=&quot; font-size:13px; font-weight:400; font-style:normal;&quot;&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep は、Mac からアプリケーションとその関連ファイルをすべてきれいにアンインストールできるアプリケーションです。&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;使い方は簡単です。ウィンドウで削除したいアプリケーションを選び、「削除」ボタンをクリックするだけです。キーワードでアプリケーションを検索して、すばやく選択することもできます。&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;詳しくは次のページをご覧ください: &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Vextora ホームページ &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;製品概要&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Copyright © 2026 vextora. All rights reserved.</source>
        <translation>Copyright © 2026 vextora. All rights reserved.</translation>
    </message>
</context>
<context>
    <name>CheckUpdate</name>
    <message>
        <location filename="../../update/CheckUpdate.cpp" line="+115"/>
        <source>Checking Update...</source>
        <translation>アップデートを確認中...</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Network Error!</source>
        <translation>ネットワークエラー</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Please check again later.</source>
        <translation>後でもう一度お試しください。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You&apos;are up to date</source>
        <translation>最新の状態です</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> is currently the newest version available!</source>
        <translation> は現在入手できる最新バージョンです。</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The version </source>
        <translation>バージョン </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available. <byte value="xd"/>
</source>
        <translation> が利用可能です。<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CrashDlg</name>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+34"/>
        <source> Crash Reporter</source>
        <translation> クラッシュレポーター</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>No crash report was found, so nothing was sent.</source>
        <translation>クラッシュレポートが見つからなかったため、何も送信されませんでした。</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.ui" line="+53"/>
        <source>Kestrelsweep Crash Reporter</source>
        <translation>Kestrelsweep クラッシュレポーター</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</source>
        <translation>&lt;p&gt;申し訳ありません&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep に問題が発生したため終了しました。問題の診断と修正のため、クラッシュレポートを送信していただけます。&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ignore</source>
        <translation>無視</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send and Reopen</source>
        <translation>送信して再度開く</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+76"/>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>We are sorry!</source>
        <translation type="vanished">申し訳ありません</translation>
    </message>
    <message>
        <source>Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</source>
        <translation type="vanished">Kestrelsweep に問題が発生したため終了しました。問題の診断と修正のため、クラッシュレポートを送信していただけます。</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>Thank you, we will fix the bug as soon as possible!</source>
        <translation>ありがとうございます。できるだけ早く不具合を修正します。</translation>
    </message>
</context>
<context>
    <name>DownloadDlg</name>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Kestrelsweep をアップデート中</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="+41"/>
        <location line="+118"/>
        <source>Update </source>
        <translation>アップデート: </translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+22"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Downloading update ...</source>
        <translation>アップデートをダウンロード中...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Install and relaunch</source>
        <translation>インストールして再起動</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="-17"/>
        <source>Ready to install</source>
        <translation>インストールの準備ができました</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installing ...</source>
        <translation>インストール中...</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+30"/>
        <source>Update Error</source>
        <translation>アップデートエラー</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>An error ocured while downloading the update. Please try again later.</source>
        <translation>アップデートのダウンロード中にエラーが発生しました。後でもう一度お試しください。</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The update could not be installed. Please try again later.</source>
        <translation>アップデートをインストールできませんでした。後でもう一度お試しください。</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp"/>
        <source>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</source>
        <translation>アップデートを自動的にインストールできませんでした。ご自身でインストールできるよう、ディスクイメージを開きました。</translation>
    </message>
</context>
<context>
    <name>ItemWidget</name>
    <message>
        <location filename="../ItemWidget.cpp" line="+94"/>
        <source>Calculate...</source>
        <translation>計算中...</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n 個の項目</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListWidget</name>
    <message>
        <location filename="../ListWidget.ui" line="+19"/>
        <location filename="../ListWidget.cpp" line="+241"/>
        <source>Loading ...</source>
        <translation>読み込み中...</translation>
    </message>
    <message>
        <location filename="../ListWidget.cpp" line="+0"/>
        <source>None</source>
        <translation>なし</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../MainWidget.ui" line="+118"/>
        <source> Remove </source>
        <translation> 削除 </translation>
    </message>
    <message numerus="yes">
        <location filename="../MainWidget.cpp" line="+93"/>
        <source>%1 removed: %n item(s), %2 freed</source>
        <translation>
            <numerusform>%1 を削除しました: %n 個の項目、%2 を解放</numerusform>
        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Leftovers</source>
        <translation>残存ファイル</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.cpp" line="+71"/>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>&amp;About</source>
        <translation>このアプリについて(&amp;A)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Preferences</source>
        <translation>環境設定(&amp;P)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Online Help</source>
        <translation>オンラインヘルプ(&amp;O)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Checking for updates</source>
        <translation>アップデートを確認(&amp;C)</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Online Help</source>
        <translation>オンラインヘルプ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The online help could not be opened in a web browser. Its address is:
%1</source>
        <translation>オンラインヘルプを Web ブラウザで開けませんでした。アドレスは次のとおりです:
%1</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Not an item to remove</source>
        <translation>削除できる項目ではありません</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Drop one application, widget, plug-in or preference pane here to remove it.</source>
        <translation>削除するアプリケーション、ウィジェット、プラグイン、または環境設定パネルを1つここにドロップしてください。</translation>
    </message>
</context>
<context>
    <name>MsgDlg</name>
    <message>
        <location filename="../MsgDlg.ui" line="+15"/>
        <source>Title:</source>
        <translation>タイトル:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Info</source>
        <translation>情報</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PreferencesDlg</name>
    <message>
        <location filename="../PreferencesDlg.ui" line="+14"/>
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Keep apple application safe</source>
        <translation>Apple のアプリケーションを保護する</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;一覧からすべての Apple アプリケーションを隠し、それらをアンインストールしようとしたときに警告します。&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Play sound effect</source>
        <translation>効果音を再生する</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;オフにすると、アプリケーションのアンインストール時に効果音が鳴らなくなります。&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Check for updates automatically</source>
        <translation>アップデートを自動的に確認</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Check Now</source>
        <translation>今すぐ確認</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Update to beta version automatically</source>
        <translation>ベータ版に自動的にアップデート</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Last Update:</source>
        <translation>最終確認:</translation>
    </message>
</context>
<context>
    <name>ProgressDlg</name>
    <message>
        <location filename="../ProgressDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Kestrelsweep をアップデート中</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Checking for updates...</source>
        <translation>アップデートを確認中...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>RemoveWidget</name>
    <message>
        <location filename="../../removal/RemoveWidget.ui" line="+59"/>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp" line="+398"/>
        <source>Remove </source>
        <translation>削除: </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Are you sure to remove </source>
        <translation>削除してもよろしいですか: </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> ?</source>
        <translation>？</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Remove App</source>
        <translation>アプリケーションの削除</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Nothing will be removed</source>
        <translation>削除される項目はありません</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%1: %n item(s), %2 will be removed</source>
        <translation>
            <numerusform>%1: %n 個の項目（%2）が削除されます</numerusform>
        </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reveal in Finder</source>
        <translation>Finderで表示</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Removing ...</source>
        <translation>削除中...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp" line="+172"/>
        <location filename="../../removal/RemoveWidget.cpp" line="+12"/>
        <source>Some files could not be removed:</source>
        <translation>一部のファイルを削除できませんでした:</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting until every installed item has been found ...</source>
        <translation>インストールされているすべての項目が見つかるまで待っています ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</source>
        <translation>これらのファイルは Kestrelsweep ヘルパーに渡せないため、何も削除されませんでした。</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Removing files outside your home folder needs an administrator account.</source>
        <translation>ホームフォルダ外のファイルを削除するには管理者アカウントが必要です。</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Nothing was removed.</source>
        <translation>何も削除されませんでした。</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</source>
        <translation>Kestrelsweep ヘルパーが実行されていません。ホームフォルダ外のファイルはヘルパーがなければ削除できないため、何も削除されませんでした。</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running</source>
        <translation>%1 は実行中です</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running. Quit it before removing it?</source>
        <translation>%1 は実行中です。削除する前に終了しますか?</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Quit and Remove</source>
        <translation>終了して削除</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting for %1 to quit ...</source>
        <translation>%1 の終了を待っています…</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 did not quit</source>
        <translation>%1 が終了しませんでした</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running. Force it to quit? Its unsaved changes will be lost.</source>
        <translation>%1 はまだ実行中です。強制終了しますか? 保存されていない変更は失われます。</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Force Quit</source>
        <translation>強制終了</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running, so nothing was removed.</source>
        <translation>%1 がまだ実行中のため、何も削除されませんでした。</translation>
    </message>
</context>
<context>
    <name>ResultDlg</name>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+6"/>
        <source>Software Update</source>
        <translation>ソフトウェア・アップデート</translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.cpp" line="+14"/>
        <source>Update </source>
        <translation>アップデート: </translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+54"/>
        <source>Skip This Version</source>
        <translation>このバージョンをスキップ</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Remind Later</source>
        <translation>後で通知</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Install Update</source>
        <translation>アップデートをインストール</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Release Notes:</source>
        <translation>リリースノート:</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Version Title</source>
        <translation>バージョン名</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Version Information</source>
        <translation>バージョン情報</translation>
    </message>
</context>
<context>
    <name>SearchEdit</name>
    <message>
        <location filename="../SearchEdit.ui" line="+15"/>
        <source>Search</source>
        <translation>検索</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../main.cpp" line="+14"/>
        <source>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</source>
        <translation>Kestrelsweep を起動できません。いずれかのフォルダのパスがないか、長すぎます。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Run &quot;%1 --help&quot; for the usage.</source>
        <translation>使い方は「%1 --help」で表示されます。</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 cannot be combined with %2</source>
        <translation>%1 は %2 と一緒に使えません</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unknown option: %1</source>
        <translation>不明なオプション: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 is not an option of %2</source>
        <translation>%1 は %2 のオプションではありません</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unexpected argument: %1</source>
        <translation>予期しない引数: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 needs the path of an item</source>
        <translation>%1 には項目のパスが必要です</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>no command given: --list, --files, --remove, --leftovers or --help</source>
        <translation>コマンドが指定されていません: --list、--files、--remove、--leftovers または --help</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</source>
        <translation>項目のバンドルではありません（.app、.wdgt、.plugin、.webplugin または .prefPane フォルダ）: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Usage:
  %1 --list [--json]
  %1 --files PATH [--json]
  %1 --remove PATH [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      lists the installed applications, widgets, plug-ins and preference panes
  --files     lists the files that belong to the item at PATH; [x] marks those
              removed by default
  --remove    removes the item at PATH and its files marked [x]; asks first
  --leftovers lists what applications deleted long ago left behind
  --dry-run   removes nothing, only prints what --remove would remove
  --yes       removes without asking
  --json      prints JSON (sizes in KiB)

PATH is an item bundle: a .app, .wdgt, .plugin, .webplugin or .prefPane folder.
Exit status: 0 when everything went, 1 when something is left or was not removed,
2 for a wrong command line.
</source>
        <translation>使い方:
  %1 --list [--json]
  %1 --files パス [--json]
  %1 --remove パス [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      インストールされているアプリケーション、ウィジェット、プラグイン、環境設定パネルを一覧表示します
  --files     「パス」の項目に属するファイルを一覧表示します。[x] は既定で削除されるファイルです
  --remove    「パス」の項目と [x] の付いたファイルを削除します。先に確認します
  --leftovers ずっと前に削除されたアプリケーションが残したものを表示します
  --dry-run   何も削除せず、--remove が削除する内容だけを表示します
  --yes       確認せずに削除します
  --json      JSON で出力します（サイズは KiB 単位）

「パス」は項目のバンドルです: .app、.wdgt、.plugin、.webplugin または .prefPane フォルダ。
終了ステータス: すべて削除できたとき 0、残ったものや削除されなかったものがあるとき 1、
コマンドラインが正しくないとき 2。
</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Kind</source>
        <translation>種類</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Identifier</source>
        <translation>識別子</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Path</source>
        <translation>パス</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Application</source>
        <translation>アプリケーション</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Widget</source>
        <translation>ウィジェット</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Plug-in</source>
        <translation>プラグイン</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Preference pane</source>
        <translation>環境設定パネル</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Related files of %1 ([x]: removed by default):</source>
        <translation>%1 の関連ファイル（[x]: 既定で削除）:</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files that would be removed: %1 (%2)</source>
        <translation>削除されるはずのファイル: %1（%2）</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files to remove: %1 (%2)</source>
        <translation>削除するファイル: %1（%2）</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files removed: %1 (%2)</source>
        <translation>削除したファイル: %1（%2）</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Remove them? [y/N] </source>
        <translation>削除しますか? [y/N] </translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>y</source>
        <translation>はい</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>No leftovers found.</source>
        <translation>残留ファイルは見つかりませんでした。</translation>
    </message>
</context>
</TS>
