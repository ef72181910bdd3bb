<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
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
        <translation>Version </translation>
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
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep is an application that can uninstall application and all related files clean on Mac. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;It is easy to use Just select the application name you want to remove in the window. And then click the Remove button.Also you can search the application you with keyword, this can make you select the application quickly. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;To learn more, please visit &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Vextora Homepage &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Product Overview&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <translation>Checking Update...</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Network Error!</source>
        <translation>Network Error!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Please check again later.</source>
        <translation>Please check again later.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You&apos;are up to date</source>
        <translation>You&apos;are up to date</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> is currently the newest version available!</source>
        <translation> is currently the newest version available!</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The version </source>
        <translation>The version </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available. <byte value="xd"/>
</source>
        <translation> is available. <byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CrashDlg</name>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+34"/>
        <source> Crash Reporter</source>
        <translation> Crash Reporter</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>No crash report was found, so nothing was sent.</source>
        <translation>No crash report was found, so nothing was sent.</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.ui" line="+53"/>
        <source>Kestrelsweep Crash Reporter</source>
        <translation>Kestrelsweep Crash Reporter</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</source>
        <translation>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ignore</source>
        <translation>Ignore</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send and Reopen</source>
        <translation>Send and Reopen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+76"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>We are sorry!</source>
        <translation type="vanished">We are sorry!</translation>
    </message>
    <message>
        <source>Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</source>
        <translation type="vanished">Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>Thank you, we will fix the bug as soon as possible!</source>
        <translation>Thank you, we will fix the bug as soon as possible!</translation>
    </message>
</context>
<context>
    <name>DownloadDlg</name>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Updating Kestrelsweep</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="+41"/>
        <location line="+118"/>
        <source>Update </source>
        <translation>Update </translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+22"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Downloading update ...</source>
        <translation>Downloading update ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Install and relaunch</source>
        <translation>Install and relaunch</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="-17"/>
        <source>Ready to install</source>
        <translation>Ready to install</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installing ...</source>
        <translation>Installing ...</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+30"/>
        <source>Update Error</source>
        <translation>Update Error</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>An error ocured while downloading the update. Please try again later.</source>
        <translation>An error ocured while downloading the update. Please try again later.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The update could not be installed. Please try again later.</source>
        <translation>The update could not be installed. Please try again later.</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp"/>
        <source>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</source>
        <translation>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</translation>
    </message>
</context>
<context>
    <name>ItemWidget</name>
    <message>
        <location filename="../ItemWidget.cpp" line="+94"/>
        <source>Calculate...</source>
        <translation>Calculate...</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListWidget</name>
    <message>
        <location filename="../ListWidget.ui" line="+19"/>
        <location filename="../ListWidget.cpp" line="+241"/>
        <source>Loading ...</source>
        <translation>Loading ...</translation>
    </message>
    <message>
        <location filename="../ListWidget.cpp" line="+0"/>
        <source>None</source>
        <translation>None</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../MainWidget.ui" line="+118"/>
        <source> Remove </source>
        <translation> Remove </translation>
    </message>
    <message numerus="yes">
        <location filename="../MainWidget.cpp" line="+93"/>
        <source>%1 removed: %n item(s), %2 freed</source>
        <translation>
            <numerusform>%1 removed: %n item, %2 freed</numerusform>
            <numerusform>%1 removed: %n items, %2 freed</numerusform>
        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Leftovers</source>
        <translation>Leftovers</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.cpp" line="+71"/>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Preferences</source>
        <translation>&amp;Preferences</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Online Help</source>
        <translation>&amp;Online Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Checking for updates</source>
        <translation>&amp;Checking for updates</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Online Help</source>
        <translation>Online Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The online help could not be opened in a web browser. Its address is:
%1</source>
        <translation>The online help could not be opened in a web browser. Its address is:
%1</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Not an item to remove</source>
        <translation>Not an item to remove</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Drop one application, widget, plug-in or preference pane here to remove it.</source>
        <translation>Drop one application, widget, plug-in or preference pane here to remove it.</translation>
    </message>
</context>
<context>
    <name>MsgDlg</name>
    <message>
        <location filename="../MsgDlg.ui" line="+15"/>
        <source>Title:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
</context>
<context>
    <name>PreferencesDlg</name>
    <message>
        <location filename="../PreferencesDlg.ui" line="+14"/>
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Keep apple application safe</source>
        <translation>Keep apple application safe</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Play sound effect</source>
        <translation>Play sound effect</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Check for updates automatically</source>
        <translation>Check for updates automatically</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Check Now</source>
        <translation>Check Now</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Update to beta version automatically</source>
        <translation>Update to beta version automatically</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Last Update:</source>
        <translation>Last Update:</translation>
    </message>
</context>
<context>
    <name>ProgressDlg</name>
    <message>
        <location filename="../ProgressDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Updating Kestrelsweep</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Checking for updates...</source>
        <translation>Checking for updates...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>RemoveWidget</name>
    <message>
        <location filename="../../removal/RemoveWidget.ui" line="+59"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp" line="+398"/>
        <source>Remove </source>
        <translation>Remove </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Are you sure to remove </source>
        <translation>Are you sure to remove </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> ?</source>
        <translation> ?</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Remove App</source>
        <translation>Remove App</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Nothing will be removed</source>
        <translation>Nothing will be removed</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%1: %n item(s), %2 will be removed</source>
        <translation>
            <numerusform>%1: %n item, %2 will be removed</numerusform>
            <numerusform>%1: %n items, %2 will be removed</numerusform>
        </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reveal in Finder</source>
        <translation>Reveal in Finder</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Removing ...</source>
        <translation>Removing ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp" line="+172"/>
        <location filename="../../removal/RemoveWidget.cpp" line="+12"/>
        <source>Some files could not be removed:</source>
        <translation>Some files could not be removed:</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting until every installed item has been found ...</source>
        <translation>Waiting until every installed item has been found ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</source>
        <translation>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Removing files outside your home folder needs an administrator account.</source>
        <translation>Removing files outside your home folder needs an administrator account.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Nothing was removed.</source>
        <translation>Nothing was removed.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</source>
        <translation>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running</source>
        <translation>%1 is running</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running. Quit it before removing it?</source>
        <translation>%1 is running. Quit it before removing it?</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Quit and Remove</source>
        <translation>Quit and Remove</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting for %1 to quit ...</source>
        <translation>Waiting for %1 to quit ...</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 did not quit</source>
        <translation>%1 did not quit</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running. Force it to quit? Its unsaved changes will be lost.</source>
        <translation>%1 is still running. Force it to quit? Its unsaved changes will be lost.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Force Quit</source>
        <translation>Force Quit</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running, so nothing was removed.</source>
        <translation>%1 is still running, so nothing was removed.</translation>
    </message>
</context>
<context>
    <name>ResultDlg</name>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+6"/>
        <source>Software Update</source>
        <translation>Software Update</translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.cpp" line="+14"/>
        <source>Update </source>
        <translation>Update </translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+54"/>
        <source>Skip This Version</source>
        <translation>Skip This Version</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Remind Later</source>
        <translation>Remind Later</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Install Update</source>
        <translation>Install Update</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Release Notes:</source>
        <translation>Release Notes:</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Version Title</source>
        <translation>Version Title</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Version Information</source>
        <translation>Version Information</translation>
    </message>
</context>
<context>
    <name>SearchEdit</name>
    <message>
        <location filename="../SearchEdit.ui" line="+15"/>
        <source>Search</source>
        <translation>Search</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../main.cpp" line="+14"/>
        <source>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</source>
        <translation>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Run &quot;%1 --help&quot; for the usage.</source>
        <translation>Run &quot;%1 --help&quot; for the usage.</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 cannot be combined with %2</source>
        <translation>%1 cannot be combined with %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unknown option: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 is not an option of %2</source>
        <translation>%1 is not an option of %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unexpected argument: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 needs the path of an item</source>
        <translation>%1 needs the path of an item</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>no command given: --list, --files, --remove, --leftovers or --help</source>
        <translation>no command given: --list, --files, --remove, --leftovers or --help</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</source>
        <translation>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</translation>
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
        <translation>Usage:
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
</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Kind</source>
        <translation>Kind</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Identifier</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Path</source>
        <translation>Path</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Widget</source>
        <translation>Widget</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Plug-in</source>
        <translation>Plug-in</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Preference pane</source>
        <translation>Preference pane</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Related files of %1 ([x]: removed by default):</source>
        <translation>Related files of %1 ([x]: removed by default):</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files that would be removed: %1 (%2)</source>
        <translation>Files that would be removed: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files to remove: %1 (%2)</source>
        <translation>Files to remove: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files removed: %1 (%2)</source>
        <translation>Files removed: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Remove them? [y/N] </source>
        <translation>Remove them? [y/N] </translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>y</source>
        <translation>y</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>No leftovers found.</source>
        <translation>No leftovers found.</translation>
    </message>
</context>
</TS>
