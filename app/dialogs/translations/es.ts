<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
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
        <translation>Versión </translation>
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
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Kestrelsweep es una aplicación que desinstala por completo aplicaciones y todos sus archivos relacionados en el Mac. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Es muy fácil de usar: seleccione en la ventana la aplicación que desea eliminar y pulse el botón Eliminar. También puede buscar la aplicación por una palabra clave para seleccionarla rápidamente. &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;Para saber más, visite &lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Página de Vextora &lt;/span&gt;&lt;/a&gt;&lt;/p&gt;
&lt;p style=&quot; margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px;&quot;&gt;&lt;a href=&quot;%s&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#0000ff;&quot;&gt;Descripción del producto&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Copyright © 2026 vextora. All rights reserved.</source>
        <translation>Copyright © 2026 vextora. Todos los derechos reservados.</translation>
    </message>
</context>
<context>
    <name>CheckUpdate</name>
    <message>
        <location filename="../../update/CheckUpdate.cpp" line="+115"/>
        <source>Checking Update...</source>
        <translation>Buscando actualización...</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>Network Error!</source>
        <translation>¡Error de red!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Please check again later.</source>
        <translation>Vuelva a intentarlo más tarde.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>You&apos;are up to date</source>
        <translation>Está al día</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> is currently the newest version available!</source>
        <translation> es la versión más reciente disponible.</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>The version </source>
        <translation>La versión </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> is available. <byte value="xd"/>
</source>
        <translation> está disponible. <byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>CrashDlg</name>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+34"/>
        <source> Crash Reporter</source>
        <translation> - Informe de errores</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>No crash report was found, so nothing was sent.</source>
        <translation>No se encontró ningún informe de fallo, así que no se envió nada.</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.ui" line="+53"/>
        <source>Kestrelsweep Crash Reporter</source>
        <translation>Informe de errores de Kestrelsweep</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&lt;p&gt;We are sorry!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.&lt;/p&gt;</source>
        <translation>&lt;p&gt;¡Lo sentimos!&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Kestrelsweep tuvo un problema y se cerró. Para ayudarnos a diagnosticar y corregir el problema, puede enviarnos un informe de errores.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Ignore</source>
        <translation>Ignorar</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send and Reopen</source>
        <translation>Enviar y reabrir</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location filename="../../crash/CrashDlg.cpp" line="+76"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>We are sorry!</source>
        <translation type="vanished">¡Lo sentimos!</translation>
    </message>
    <message>
        <source>Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report.</source>
        <translation type="vanished">Kestrelsweep tuvo un problema y se cerró. Para ayudarnos a diagnosticar y corregir el problema, puede enviarnos un informe de errores.</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>Thank you, we will fix the bug as soon as possible!</source>
        <translation>¡Gracias! Corregiremos el error lo antes posible.</translation>
    </message>
</context>
<context>
    <name>DownloadDlg</name>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Actualizando Kestrelsweep</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="+41"/>
        <location line="+118"/>
        <source>Update </source>
        <translation>Actualización de </translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.ui" line="+22"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Downloading update ...</source>
        <translation>Descargando actualización...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Install and relaunch</source>
        <translation>Instalar y reiniciar</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp" line="-17"/>
        <source>Ready to install</source>
        <translation>Listo para instalar</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installing ...</source>
        <translation>Instalando...</translation>
    </message>
    <message>
        <location line="-8"/>
        <location line="+30"/>
        <source>Update Error</source>
        <translation>Error de actualización</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>An error ocured while downloading the update. Please try again later.</source>
        <translation>Se produjo un error al descargar la actualización. Vuelva a intentarlo más tarde.</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>The update could not be installed. Please try again later.</source>
        <translation>No se pudo instalar la actualización. Vuelva a intentarlo más tarde.</translation>
    </message>
    <message>
        <location filename="../../update/DownloadDlg.cpp"/>
        <source>The update could not be installed automatically. The disk image has been opened so that you can install it yourself.</source>
        <translation>La actualización no se pudo instalar automáticamente. Se ha abierto la imagen de disco para que pueda instalarla usted mismo.</translation>
    </message>
</context>
<context>
    <name>ItemWidget</name>
    <message>
        <location filename="../ItemWidget.cpp" line="+94"/>
        <source>Calculate...</source>
        <translation>Calculando...</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n elemento</numerusform>
            <numerusform>%n elementos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListWidget</name>
    <message>
        <location filename="../ListWidget.ui" line="+19"/>
        <location filename="../ListWidget.cpp" line="+241"/>
        <source>Loading ...</source>
        <translation>Cargando...</translation>
    </message>
    <message>
        <location filename="../ListWidget.cpp" line="+0"/>
        <source>None</source>
        <translation>Ninguno</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../MainWidget.ui" line="+118"/>
        <source> Remove </source>
        <translation> Eliminar </translation>
    </message>
    <message numerus="yes">
        <location filename="../MainWidget.cpp" line="+93"/>
        <source>%1 removed: %n item(s), %2 freed</source>
        <translation>
            <numerusform>%1 eliminado: %n elemento, %2 liberados</numerusform>
            <numerusform>%1 eliminado: %n elementos, %2 liberados</numerusform>
        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Leftovers</source>
        <translation>Restos</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.cpp" line="+71"/>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Preferences</source>
        <translation>&amp;Preferencias</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Online Help</source>
        <translation>Ayuda en &amp;línea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Checking for updates</source>
        <translation>&amp;Buscar actualizaciones</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Online Help</source>
        <translation>Ayuda en línea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The online help could not be opened in a web browser. Its address is:
%1</source>
        <translation>No se pudo abrir la ayuda en línea en un navegador web. Su dirección es:
%1</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Not an item to remove</source>
        <translation>No es un elemento que se pueda eliminar</translation>
    </message>
    <message>
        <location filename="../../shell/MainWindow.cpp"/>
        <source>Drop one application, widget, plug-in or preference pane here to remove it.</source>
        <translation>Suelta aquí una aplicación, widget, plug-in o panel de preferencias para eliminarlo.</translation>
    </message>
</context>
<context>
    <name>MsgDlg</name>
    <message>
        <location filename="../MsgDlg.ui" line="+15"/>
        <source>Title:</source>
        <translation>Título:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Info</source>
        <translation>Información</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Ok</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>PreferencesDlg</name>
    <message>
        <location filename="../PreferencesDlg.ui" line="+14"/>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Keep apple application safe</source>
        <translation>Proteger las aplicaciones de Apple</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;This will hide all apple applications in application list and warn you when you attempt to uninstall one.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Oculta todas las aplicaciones de Apple en la lista y le avisa cuando intente desinstalar una.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Play sound effect</source>
        <translation>Reproducir efecto de sonido</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Turn this off will disable sound effect that play when uninstalling application.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; color:#808080;&quot;&gt;Si lo desactiva, no sonará ningún efecto al desinstalar una aplicación.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Check for updates automatically</source>
        <translation>Buscar automáticamente</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Check Now</source>
        <translation>Buscar ahora</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Update to beta version automatically</source>
        <translation>Actualizar a versiones beta</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Last Update:</source>
        <translation>Última actualización:</translation>
    </message>
</context>
<context>
    <name>ProgressDlg</name>
    <message>
        <location filename="../ProgressDlg.ui" line="+6"/>
        <source>Updating Kestrelsweep</source>
        <translation>Actualizando Kestrelsweep</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Checking for updates...</source>
        <translation>Buscando actualizaciones...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>RemoveWidget</name>
    <message>
        <location filename="../../removal/RemoveWidget.ui" line="+59"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Remove</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp" line="+398"/>
        <source>Remove </source>
        <translation>¿Eliminar </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Are you sure to remove </source>
        <translation>¿Seguro que desea eliminar </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> ?</source>
        <translation>?</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Remove App</source>
        <translation>Eliminar aplicación</translation>
    </message>
    <message>
        <location line="-75"/>
        <source>Nothing will be removed</source>
        <translation>No se eliminará nada</translation>
    </message>
    <message numerus="yes">
        <location line="+4"/>
        <source>%1: %n item(s), %2 will be removed</source>
        <translation>
            <numerusform>%1: se eliminará %n elemento, %2</numerusform>
            <numerusform>%1: se eliminarán %n elementos, %2</numerusform>
        </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Reveal in Finder</source>
        <translation>Mostrar en el Finder</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Removing ...</source>
        <translation>Eliminando...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp" line="+172"/>
        <location filename="../../removal/RemoveWidget.cpp" line="+12"/>
        <source>Some files could not be removed:</source>
        <translation>No se pudieron eliminar algunos archivos:</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting until every installed item has been found ...</source>
        <translation>Esperando a que se encuentren todos los elementos instalados ...</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>These files cannot be handed to the Kestrelsweep helper, so nothing was removed.</source>
        <translation>Estos archivos no se pueden pasar al asistente de Kestrelsweep, por lo que no se ha eliminado nada.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Removing files outside your home folder needs an administrator account.</source>
        <translation>Para eliminar archivos fuera de su carpeta de inicio se necesita una cuenta de administrador.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>Nothing was removed.</source>
        <translation>No se ha eliminado nada.</translation>
    </message>
    <message>
        <location filename="../../removal/AppRemover.cpp"/>
        <source>The Kestrelsweep helper is not running. Files outside your home folder can only be removed with its help, so nothing was removed.</source>
        <translation>El asistente de Kestrelsweep no se está ejecutando. Los archivos fuera de su carpeta de inicio solo se pueden eliminar con su ayuda, por lo que no se ha eliminado nada.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running</source>
        <translation>%1 está abierto</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is running. Quit it before removing it?</source>
        <translation>%1 está abierto. ¿Salir de él antes de eliminarlo?</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Quit and Remove</source>
        <translation>Salir y eliminar</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Waiting for %1 to quit ...</source>
        <translation>Esperando a que %1 se cierre…</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 did not quit</source>
        <translation>%1 no se ha cerrado</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running. Force it to quit? Its unsaved changes will be lost.</source>
        <translation>%1 sigue abierto. ¿Forzar la salida? Se perderán los cambios no guardados.</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>Force Quit</source>
        <translation>Forzar salida</translation>
    </message>
    <message>
        <location filename="../../removal/RemoveWidget.cpp"/>
        <source>%1 is still running, so nothing was removed.</source>
        <translation>%1 sigue abierto, así que no se ha eliminado nada.</translation>
    </message>
</context>
<context>
    <name>ResultDlg</name>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+6"/>
        <source>Software Update</source>
        <translation>Actualización de software</translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.cpp" line="+14"/>
        <source>Update </source>
        <translation>Actualización de </translation>
    </message>
    <message>
        <location filename="../../update/ResultDlg.ui" line="+54"/>
        <source>Skip This Version</source>
        <translation>Omitir esta versión</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Remind Later</source>
        <translation>Recordar más tarde</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Install Update</source>
        <translation>Instalar actualización</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Release Notes:</source>
        <translation>Notas de la versión:</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Version Title</source>
        <translation>Título de la versión</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Version Information</source>
        <translation>Información de la versión</translation>
    </message>
</context>
<context>
    <name>SearchEdit</name>
    <message>
        <location filename="../SearchEdit.ui" line="+15"/>
        <source>Search</source>
        <translation>Buscar</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../main.cpp" line="+14"/>
        <source>Kestrelsweep cannot start: the path of one of its folders is missing or too long.</source>
        <translation>Kestrelsweep no puede iniciarse: la ruta de una de sus carpetas falta o es demasiado larga.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Run &quot;%1 --help&quot; for the usage.</source>
        <translation>Ejecute &quot;%1 --help&quot; para ver el uso.</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 cannot be combined with %2</source>
        <translation>%1 no se puede combinar con %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unknown option: %1</source>
        <translation>opción desconocida: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 is not an option of %2</source>
        <translation>%1 no es una opción de %2</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>unexpected argument: %1</source>
        <translation>argumento inesperado: %1</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>%1 needs the path of an item</source>
        <translation>%1 necesita la ruta de un elemento</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>no command given: --list, --files, --remove, --leftovers or --help</source>
        <translation>no se indicó ninguna orden: --list, --files, --remove, --leftovers o --help</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1</source>
        <translation>no es el paquete de un elemento (una carpeta .app, .wdgt, .plugin, .webplugin o .prefPane): %1</translation>
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
        <translation>Uso:
  %1 --list [--json]
  %1 --files RUTA [--json]
  %1 --remove RUTA [--dry-run] [--yes]
  %1 --leftovers [--json]
  %1 --help

  --list      muestra las aplicaciones, widgets, complementos y paneles de preferencias instalados
  --files     muestra los archivos del elemento en RUTA; [x] marca los que
              se eliminan por defecto
  --remove    elimina el elemento en RUTA y sus archivos marcados con [x]; pregunta antes
  --leftovers muestra lo que dejaron las aplicaciones eliminadas hace tiempo
  --dry-run   no elimina nada, solo muestra lo que --remove eliminaría
  --yes       elimina sin preguntar
  --json      muestra JSON (tamaños en KiB)

RUTA es el paquete de un elemento: una carpeta .app, .wdgt, .plugin, .webplugin o .prefPane.
Estado de salida: 0 si se eliminó todo, 1 si algo queda o no se eliminó,
2 si la línea de órdenes es incorrecta.
</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Identifier</source>
        <translation>Identificador</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Path</source>
        <translation>Ruta</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Application</source>
        <translation>Aplicación</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Widget</source>
        <translation>Widget</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Plug-in</source>
        <translation>Complemento</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Preference pane</source>
        <translation>Panel de preferencias</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Related files of %1 ([x]: removed by default):</source>
        <translation>Archivos relacionados con %1 ([x]: se elimina por defecto):</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files that would be removed: %1 (%2)</source>
        <translation>Archivos que se eliminarían: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files to remove: %1 (%2)</source>
        <translation>Archivos que se eliminarán: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Files removed: %1 (%2)</source>
        <translation>Archivos eliminados: %1 (%2)</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>Remove them? [y/N] </source>
        <translation>¿Eliminarlos? [s/N] </translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>y</source>
        <translation>s</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>yes</source>
        <translation>sí</translation>
    </message>
    <message>
        <location filename="../../cli/CommandLine.cpp"/>
        <source>No leftovers found.</source>
        <translation>No se encontraron restos.</translation>
    </message>
</context>
</TS>
