<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
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
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep ist ein Programm, das Programme samt allen zugehörigen Dateien restlos vom Mac entfernt. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Die Bedienung ist einfach: Wählen Sie im Fenster das Programm aus, das Sie entfernen möchten, und klicken Sie auf „Entfernen“. Über die Suche nach einem Stichwort finden Sie das Programm schnell. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Mehr erfahren Sie hier: &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Vextora-Startseite &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Produktübersicht&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Copyright © 2026 vextora. All rights reserved.</source>
        <translation>Copyright © 2026 vextora. Alle Rechte vorbehalten.</translation>
    </message>
</context>
<context>
    <name>CheckUpdate</name>
    <message>
        <location filename="../../update/CheckUpdate.cpp" line="+115"/>
        <source>Checking Update...</source>
        <translation>Suche nach Update ...</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Network Error!</source>
        <translation>Netzwerkfehler!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Please check again later.</source>
        <translation>Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You&apos;are up to date</source>
        <translation>Alles aktuell</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> is currently the newest version available!</source>
        <translation> ist die neueste verfügbare Version.</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The version </source>
        <translation>Die Version </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available. <byte value="xd"/>
</source>
        <translation> ist verfügbar. <byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CrashDlg</name>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+34"/>
        <source> Crash Reporter</source>
        <translation> – Absturzbericht</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>No crash report was found, so nothing was sent.</source>
        <translation>Es wurde kein Absturzbericht gefunden, daher wurde nichts gesendet.</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.ui" line="+53"/>
        <source>Kestrelsweep Crash Reporter</source>
        <translation>Kestrelsweep-Absturzbericht</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Das tut uns leid!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep hatte ein Problem und wurde beendet. Damit wir den Fehler finden und beheben können, können Sie uns einen Absturzbericht senden.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send and Reopen</source>
        <translation>Senden und neu öffnen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+76"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>We are sorry!</source>
        <translation type="vanished">Das tut uns leid!</translation>
    </message>
    <message>
        <source>Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</source>
        <translation type="vanished">Kestrelsweep hatte ein Problem und wurde beendet. Damit wir den Fehler finden und beheben können, können Sie uns einen Absturzbericht senden.</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>Thank you, we will fix the bug as soon as possible!</source>
        <translation>Vielen Dank! Wir beheben den Fehler so schnell wie möglich.</translation>
    </message>
</context>
<context>
    <name>DownloadDlg</name>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Kestrelsweep wird aktualisiert</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="+41"/>
        <location line="+118"/>
        <source>Update </source>
        <translation>Update für </translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+22"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Downloading update ...</source>
        <translation>Update wird geladen ...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Install and relaunch</source>
        <translation>Installieren und neu starten</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="-17"/>
        <source>Ready to install</source>
        <translation>Bereit zur Installation</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installing ...</source>
        <translation>Wird installiert ...</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+30"/>
        <source>Update Error</source>
        <translation>Update-Fehler</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>An error ocured while downloading the update. Please try again later.</source>
        <translation>Beim Laden des Updates ist ein Fehler aufgetreten. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The update could not be installed. Please try again later.</source>
        <translation>Das Update konnte nicht installiert werden. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp"/>
        <source>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</source>
        <translation>Das Update konnte nicht automatisch installiert werden. Das Festplattenabbild wurde geöffnet, damit Sie es selbst installieren können.</translation>
    </message>
</context>
<context>
    <name>ItemWidget</name>
    <message>
        <location filename="../ItemWidget.cpp" line="+94"/>
        <source>Calculate...</source>
        <translation>Berechne ...</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListWidget</name>
    <message>
        <location filename="../ListWidget.ui" line="+19"/>
        <location filename="../ListWidget.cpp" line="+241"/>
        <source>Loading ...</source>
        <translation>Wird geladen ...</translation>
    </message>
    <message>
        <location filename="../ListWidget.cpp" line="+0"/>
        <source>None</source>
        <translation>Keine</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../MainWidget.ui" line="+118"/>
        <source> Remove </source>
        <translation> Entfernen </translation>
    </message>
    <message numerus="yes">
        <location filename="../MainWidget.cpp" line="+93"/>
        <source>%1 removed: %n item(s), %2 freed</source>
        <translation>
            <numerusform>%1 entfernt: %n Objekt, %2 freigegeben</numerusform>
            <numerusform>%1 entfernt: %n Objekte, %2 freigegeben</numerusform>
        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Leftovers</source>
        <translation>Überreste</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.cpp" line="+71"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Preferences</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Online Help</source>
        <translation>&amp;Online-Hilfe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Checking for updates</source>
        <translation>Nach &amp;Updates suchen</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Online Help</source>
        <translation>Online-Hilfe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The online help could not be opened in a web browser. Its address is:
%1</source>
        <translation>Die Online-Hilfe konnte in keinem Webbrowser geöffnet werden. Ihre Adresse lautet:
%1</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Not an item to remove</source>
        <translation>Kein Objekt zum Entfernen</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Drop one application, widget, plug-in or preference pane here to remove it.</source>
        <translation>Ein Programm, Widget, Plug-in oder Systemeinstellungsmodul hierher ziehen, um es zu entfernen.</translation>
    </message>
</context>
<context>
    <name>MsgDlg</name>
    <message>
        <location filename="../MsgDlg.ui" line="+15"/>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
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
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Keep apple application safe</source>
        <translation>Apple-Programme schützen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Blendet alle Apple-Programme in der Liste aus und warnt Sie, wenn Sie eines deinstallieren wollen.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Play sound effect</source>
        <translation>Soundeffekt abspielen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Ausgeschaltet ertönt beim Deinstallieren eines Programms kein Soundeffekt.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Check for updates automatically</source>
        <translation>Automatisch nach Updates suchen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Check Now</source>
        <translation>Jetzt prüfen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Update to beta version automatically</source>
        <translation>Auch Betaversionen installieren</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Last Update:</source>
        <translation>Letztes Update:</translation>
    </message>
</context>
<context>
    <name>ProgressDlg</name>
    <message>
        <location filename="../ProgressDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Kestrelsweep wird aktualisiert</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Checking for updates...</source>
        <translation>Suche nach Updates ...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>RemoveWidget</name>
    <message>
        <location filename="../../removal/RemoveWidget.ui" line="+59"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp" line="+398"/>
        <source>Remove </source>
        <translation>Entfernen von </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Are you sure to remove </source>
        <translation>Möchten Sie wirklich entfernen: </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> ?</source>
        <translation>?</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Remove App</source>
        <translation>Programm entfernen</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Nothing will be removed</source>
        <translation>Es wird nichts entfernt</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%1: %n item(s), %2 will be removed</source>
        <translation>
            <numerusform>%1: %n Objekt, %2 wird entfernt</numerusform>
            <numerusform>%1: %n Objekte, %2 werden entfernt</numerusform>
        </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reveal in Finder</source>
        <translation>Im Finder zeigen</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Removing ...</source>
        <translation>Wird entfernt ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp" line="+172"/>
        <location filename="../../removal/RemoveWidget.cpp" line="+12"/>
        <source>Some files could not be removed:</source>
        <translation>Einige Dateien konnten nicht entfernt werden:</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting until every installed item has been found ...</source>
        <translation>Warten, bis alle installierten Objekte gefunden sind ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</source>
        <translation>Diese Dateien können nicht an den Kestrelsweep-Helfer übergeben werden, daher wurde nichts entfernt.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Removing files outside your home folder needs an administrator account.</source>
        <translation>Zum Entfernen von Dateien außerhalb Ihres Benutzerordners ist ein Administratorkonto erforderlich.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Nothing was removed.</source>
        <translation>Es wurde nichts entfernt.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</source>
        <translation>Der Kestrelsweep-Helfer läuft nicht. Dateien außerhalb Ihres Benutzerordners können nur mit seiner Hilfe entfernt werden, daher wurde nichts entfernt.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running</source>
        <translation>%1 läuft</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running. Quit it before removing it?</source>
        <translation>%1 läuft. Vor dem Entfernen beenden?</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Quit and Remove</source>
        <translation>Beenden und entfernen</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting for %1 to quit ...</source>
        <translation>Warten, bis %1 beendet ist …</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 did not quit</source>
        <translation>%1 wurde nicht beendet</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running. Force it to quit? Its unsaved changes will be lost.</source>
        <translation>%1 läuft noch. Sofort beenden? Nicht gesicherte Änderungen gehen verloren.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Force Quit</source>
        <translation>Sofort beenden</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running, so nothing was removed.</source>
        <translation>%1 läuft noch, daher wurde nichts entfernt.</translation>
    </message>
</context>
<context>
    <name>ResultDlg</name>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+6"/>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.cpp" line="+14"/>
        <source>Update </source>
        <translation>Update für </translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+54"/>
        <source>Skip This Version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Remind Later</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Install Update</source>
        <translation>Update installieren</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Release Notes:</source>
        <translation>Versionshinweise:</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Version Title</source>
        <translation>Versionstitel</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Version Information</source>
        <translation>Versionsinformationen</translation>
    </message>
</context>
<context>
    <name>SearchEdit</name>
    <message>
        <location filename="../SearchEdit.ui" line="+15"/>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../main.cpp" line="+14"/>
        <source>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</source>
        <translation>Kestrelsweep kann nicht starten: Der Pfad eines seiner Ordner fehlt oder ist zu lang.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Run &quot;%1 --help&quot; for the usage.</source>
        <translation>Die Verwendung zeigt &quot;%1 --help&quot;.</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 cannot be combined with %2</source>
        <translation>%1 kann nicht mit %2 kombiniert werden</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unknown option: %1</source>
        <translation>unbekannte Option: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 is not an option of %2</source>
        <translation>%1 ist keine Option von %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unexpected argument: %1</source>
        <translation>unerwartetes Argument: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 needs the path of an item</source>
        <translation>%1 braucht den Pfad eines Objekts</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>no command given: --list, --files, --remove, --leftovers or --help</source>
        <translation>kein Befehl angegeben: --list, --files, --remove, --leftovers oder --help</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</source>
        <translation>kein Objekt-Bundle (ein Ordner .app, .wdgt, .plugin, .webplugin oder .prefPane): %1</translation>
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
        <translation>Aufruf:
  %1 --list [--json]
  %1 --files PFAD [--json]
  %1 --remove PFAD [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      listet die installierten Programme, Widgets, Plug-ins und Systemeinstellungen
  --files     listet die Dateien, die zum Objekt unter PFAD gehören; [x] markiert die,
              die standardmäßig entfernt werden
  --remove    entfernt das Objekt unter PFAD und seine mit [x] markierten Dateien; fragt vorher
  --leftovers listet, was längst gelöschte Programme hinterlassen haben
  --dry-run   entfernt nichts, zeigt nur, was --remove entfernen würde
  --yes       entfernt ohne zu fragen
  --json      gibt JSON aus (Größen in KiB)

PFAD ist ein Objekt-Bundle: ein Ordner .app, .wdgt, .plugin, .webplugin oder .prefPane.
Exit-Status: 0, wenn alles entfernt wurde, 1, wenn etwas übrig ist oder nicht entfernt wurde,
2 bei einer falschen Befehlszeile.
</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Kind</source>
        <translation>Art</translation>
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
        <translation>Größe</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Application</source>
        <translation>Programm</translation>
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
        <translation>Systemeinstellung</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Related files of %1 ([x]: removed by default):</source>
        <translation>Zugehörige Dateien von %1 ([x]: wird standardmäßig entfernt):</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files that would be removed: %1 (%2)</source>
        <translation>Dateien, die entfernt würden: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files to remove: %1 (%2)</source>
        <translation>Zu entfernende Dateien: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files removed: %1 (%2)</source>
        <translation>Entfernte Dateien: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Remove them? [y/N] </source>
        <translation>Entfernen? [j/N] </translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>y</source>
        <translation>j</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>No leftovers found.</source>
        <translation>Keine Überreste gefunden.</translation>
    </message>
</context>
</TS>
