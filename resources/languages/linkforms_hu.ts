<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu_HU">
<context>
    <name>LinkBackwardSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkDriveSettingForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Reversed forward Drive</source>
        <translation>Fordított előremenet</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Move your head backward to speed the chair forward&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Döntse hátra a fejét, hogy a szék előre haladjon&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Reversing&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tolatás&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You have to turn off reversing audio feedback in PG module to avoid multiple sound signals&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Kapcsolja ki a tolatási hangjelzést a PG modulban, hogy ne szóljon egyszerre több hangjelzés&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Play sound when reversing</source>
        <translation>Hangjelzés tolatáskor</translation>
    </message>
    <message>
        <source>Reversing start delay:</source>
        <translation>Tolatás indítási késleltetése:</translation>
    </message>
    <message>
        <source> seconds</source>
        <translation> másodperc</translation>
    </message>
</context>
<context>
    <name>LinkForwardHighSpeedForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkForwardSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkForwardSlowspeedForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkGeneralForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Set center&lt;/span&gt;: Here you can set what is you preferred method to (re-)center the position of your headset.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Középre állítás&lt;/span&gt;: itt választhatja ki, hogyan álljon (újra) középre a fejpánt helyzete.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatikus</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Időzítő</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Timer&lt;/span&gt;: On a short press of the headset button, you&apos;ll have a limited amount of time to move your head to the center. We&apos;ll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatikus&lt;/span&gt;: ha a feje elég hosszú ideig mozdulatlan, a középre állítás automatikusan megtörténik.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Időzítő&lt;/span&gt;: a fejpánt gombjának rövid megnyomása után korlátozott ideje van, hogy a fejét középre fordítsa. A visszaszámlálást mi végezzük.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Jump to center after:</source>
        <translation>Középre ugrás ennyi idő után:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>másodperc</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor filter&lt;/span&gt;: If you ever experience tremors, this setting can help you make your diriving experience smoother. The higher the setting, the less sensitive your headset will be to smaller movements.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Remegésszűrő&lt;/span&gt;: ha időnként remeg, ez a beállítás egyenletesebbé teheti a vezetést. Minél nagyobb az érték, annál kevésbé reagál a fejpánt a kisebb mozdulatokra.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Fifth switch&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Ötödik kapcsoló&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>use face wink as fifth swicth</source>
        <translation>kacsintás használata ötödik kapcsolóként</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;If you want to avoid accidental turning off of the chair when using this option, please make sure that you limit the long press length of your winking so that it is below the length of truning off the chair that you have set in the PG software. Setting the limit means that even if you wink after the set time, we will deactivate the fifth button.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Ha ezzel a beállítással el akarja kerülni a szék véletlen kikapcsolását, korlátozza a kacsintás hosszú nyomásának idejét a PG szoftverben beállított kikapcsolási idő alá. A korlát beállítása után az ötödik kapcsolót a megadott idő elteltével akkor is kikapcsoljuk, ha tovább kacsint.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Long press limit on</source>
        <translation>Hosszú nyomás korlátja bekapcsolva</translation>
    </message>
</context>
<context>
    <name>LinkLeftSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkMoveBackwardForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkMoveForwardForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkProfilesDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Párbeszédablak</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;To restore &lt;span style=&quot; font-weight:600;&quot;&gt;LINK&lt;/span&gt; parameter to it&apos;s &lt;span style=&quot; font-weight:600;&quot;&gt;defaults&lt;/span&gt;, you have to select one from the list below&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;A &lt;span style=&quot; font-weight:600;&quot;&gt;LINK&lt;/span&gt; paramétereinek &lt;span style=&quot; font-weight:600;&quot;&gt;alapértékre&lt;/span&gt; állításához válasszon az alábbi listából&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor&lt;/span&gt;: Select this option if you experience tremors sometimes.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Restricted&lt;/span&gt;: Select this option if you can only move your head in a limited range.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Normal&lt;/span&gt;: This option is recommended to the majority of our users.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor&lt;/span&gt;: akkor válassza, ha időnként remeg.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Restricted&lt;/span&gt;: akkor válassza, ha a fejét csak korlátozott mértékben tudja mozgatni.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Normal&lt;/span&gt;: a legtöbb felhasználónknak ezt ajánljuk.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>LinkRightSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkTurningHighspeedForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkTurningLeftForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkTurningRightForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>LinkTurningSlowspeedform</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>OX::LinkProfilesDialog</name>
    <message>
        <source>Select profile</source>
        <translation>Profil kiválasztása</translation>
    </message>
    <message>
        <source>Reset parameters</source>
        <translation>Paraméterek visszaállítása</translation>
    </message>
</context>
</TS>
