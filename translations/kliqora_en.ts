<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AutoRecordTask</name>
    <message>
        <location filename="../tasks/autorecordtask.cpp" line="+267"/>
        <source>自动录制键盘鼠标任务...</source>
        <translation>Keyboard and mouse recording job...</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>要载入的文件不是录制任务文件</source>
        <translation>The file to load is not a recording file</translation>
    </message>
</context>
<context>
    <name>ButtonDelegate</name>
    <message>
        <location filename="../designer/buttondelegate.cpp" line="+88"/>
        <source>复制本行</source>
        <translation>Duplicate row</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除本行</source>
        <translation>Delete row</translation>
    </message>
</context>
<context>
    <name>CustomTable</name>
    <message>
        <location filename="../app/pages/customtable.cpp" line="+29"/>
        <source>自定义操作名称</source>
        <translation>Flow name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>启停快捷键</source>
        <translation>Start/stop hotkey</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>更多</source>
        <translation>More</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>未设置</source>
        <translation>Not set</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>这个操作正在设计器中打开：关闭设计器后才能编辑、删除或更改它。</source>
        <translation>This flow is open in the designer: close the designer to edit, delete or change it.</translation>
    </message>
</context>
<context>
    <name>CustomWidget</name>
    <message>
        <location filename="../app/pages/customwidget.cpp" line="+102"/>
        <source>自定义操作</source>
        <translation>Flows</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>新建操作</source>
        <translation>New flow</translation>
    </message>
    <message>
        <location line="+189"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法启动自定义操作设计器</source>
        <translation>Cannot start the flow designer</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>复制自：</source>
        <translation>Copied from: </translation>
    </message>
    <message>
        <location line="+25"/>
        <source>快捷键设置失败</source>
        <translation>Cannot set the hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法注册新快捷键 %1，可能已被占用。</source>
        <translation>Cannot register the new hotkey %1: another program may be using it.</translation>
    </message>
</context>
<context>
    <name>CustomWidgetClass</name>
    <message>
        <location filename="../app/pages/customwidget.ui" line="+15"/>
        <source>自定义操作</source>
        <translation>Flows</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>新建操作</source>
        <translation>New flow</translation>
    </message>
</context>
<context>
    <name>DesktopShortcutHint</name>
    <message>
        <location filename="../app/dialogs/desktopshortcuthint.cpp" line="+16"/>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>此桌面不允许程序使用全局快捷键。请在桌面的键盘设置中添加自定义快捷键，让它运行下面的命令：</source>
        <translation>This desktop does not let programs use global hotkeys. In the desktop&apos;s keyboard settings, add a custom shortcut that runs this command:</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
</context>
<context>
    <name>FileRowActions</name>
    <message>
        <location filename="../app/pages/filerowactions.cpp" line="+73"/>
        <location line="+3"/>
        <location line="+8"/>
        <source>重命名失败</source>
        <translation>Cannot rename</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>任务名称 &quot;%1&quot; 无效。</source>
        <translation>&quot;%1&quot; is not a valid name.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>任务名称 &quot;%1&quot; 已存在。</source>
        <translation>The name &quot;%1&quot; is taken already.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无法将 &quot;%1&quot; 重命名为 &quot;%2&quot;。</source>
        <translation>Cannot rename &quot;%1&quot; to &quot;%2&quot;.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>删除失败</source>
        <translation>Cannot delete</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法删除文件 %1。</source>
        <translation>Cannot delete the file %1.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>创建副本失败</source>
        <translation>Cannot duplicate</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法创建副本 %1。</source>
        <translation>Cannot create the copy %1.</translation>
    </message>
</context>
<context>
    <name>Flow</name>
    <message>
        <location filename="../core/flow.cpp" line="+24"/>
        <source> %1:
%2.</source>
        <translation> %1:
%2.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Kliqora妙指灵-键盘鼠标自动化输入工具</source>
        <translation>Kliqora - Keyboard and Mouse Automation</translation>
    </message>
    <message>
        <location line="+61"/>
        <location line="+19"/>
        <location line="+4"/>
        <source>无法写入文件</source>
        <translation>Cannot write the file</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>无法读取文件</source>
        <translation>Cannot read the file</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>流程无法运行</source>
        <translation>The flow cannot run</translation>
    </message>
    <message>
        <location filename="../core/flow.h" line="+23"/>
        <source>流名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>流描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>创建时间</source>
        <translation>Created</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修改时间</source>
        <translation>Modified</translation>
    </message>
</context>
<context>
    <name>HotKeySet</name>
    <message>
        <location filename="../app/dialogs/hotkeyset.cpp" line="+166"/>
        <source>%1 是打字和编辑时要用的按键：设为全局快捷键后，所有程序都收不到它。请加上 Ctrl、Alt 或 Shift，或者使用 F1 到 F12 等功能键。</source>
        <translation>%1 is a key for typing and editing: as a global hotkey, no program would receive it any more. Add Ctrl, Alt or Shift, or use a function key such as F1 to F12.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>快捷键 %1 已被“%2”使用，请换一个按键。</source>
        <translation>The hotkey %1 is already used by &quot;%2&quot;. Choose another key.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>快捷键不可用</source>
        <translation>Hotkey not available</translation>
    </message>
</context>
<context>
    <name>HotKeySetClass</name>
    <message>
        <location filename="../app/dialogs/hotkeyset.ui" line="+14"/>
        <source>快捷键设置</source>
        <translation>Hotkey</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>按下键盘组合键设置新的快捷键</source>
        <translation>Press a key combination for the new hotkey</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>按下快捷键（如Ctrl+S）</source>
        <translation>Press a hotkey (e.g. Ctrl+S)</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>删除快捷键</source>
        <translation>Remove hotkey</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>KeyBoardTask</name>
    <message>
        <location filename="../tasks/keyboardtasklist.cpp" line="+115"/>
        <source>要载入的文件不是键盘连点任务文件</source>
        <translation>The file to load is not a key presser job file</translation>
    </message>
</context>
<context>
    <name>KeyBoardWidget</name>
    <message>
        <location filename="../app/pages/keyboardwidget.cpp" line="+74"/>
        <source>启动/停止连点
[%1]</source>
        <translation>Start/stop pressing
[%1]</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>键盘连点</source>
        <translation>Key Presser</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>修改快捷键</source>
        <translation>Change hotkey</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>按键未设置</source>
        <translation>Keys not set</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>请先完成按键设置,在启动连点。</source>
        <translation>Set the keys first, then start.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>第%1行按键尚未设置，请先完成按键设置。</source>
        <translation>Row %1 has no key yet: set the keys first.</translation>
    </message>
</context>
<context>
    <name>KeyBoardWidgetClass</name>
    <message>
        <location filename="../app/pages/keyboardwidget.ui" line="+12"/>
        <source>键盘连点</source>
        <translation>Key Presser</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加按键</source>
        <translation>Add key</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>清空按键</source>
        <translation>Clear keys</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>提示：选择按键单元格输入按键，支持组合键输入，如同时按下Ctrl+C.</source>
        <translation>Tip: select a cell and press a key or a combination such as Ctrl+C.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>停止方式：</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>重复</source>
        <translation>After</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>次后停止</source>
        <translation>rounds</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>持续</source>
        <translation>After</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>毫秒后停止        </source>
        <translation>ms        </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>手动停止</source>
        <translation>By hand</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>启动/停止连点
[F3]</source>
        <translation>Start/stop pressing
[F3]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt;a href=&apos;#&apos;&gt;修改快捷键&lt;/a&gt;</source>
        <translation>&lt;a href=&apos;#&apos;&gt;Change hotkey&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>KeyTable</name>
    <message>
        <location filename="../app/pages/keytable.cpp" line="+31"/>
        <source>按键</source>
        <translation>Key</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>按住时长（毫秒）</source>
        <translation>Hold (ms)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>间隔时间（毫秒）</source>
        <translation>Pause (ms)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>KeyboardOperation</name>
    <message>
        <location filename="../core/keyboardoperation.cpp" line="+13"/>
        <source>键盘</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>输入按键</source>
        <translation>Press key</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>按下</source>
        <translation>press</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>抬起</source>
        <translation>release</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>敲击</source>
        <translation>tap</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+3"/>
        <source>%1: %2 %3</source>
        <translation>%1: %2 %3</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>%1: %2 %3+%4</source>
        <translation>%1: %2 %3+%4</translation>
    </message>
    <message>
        <location filename="../core/keyboardoperation.h" line="+14"/>
        <source>按键动作</source>
        <translation>Key action</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>按下|抬起|敲击（按下+抬起）</source>
        <translation>Press|Release|Tap (press + release)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../designer/propertypanel/operationeditorfactory.cpp" line="+25"/>
        <source>按键</source>
        <translation>Key</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修饰键</source>
        <translation>Modifiers</translation>
    </message>
</context>
<context>
    <name>KliqoraDesigner</name>
    <message>
        <location filename="../designer/kliqoradesigner.cpp" line="+94"/>
        <source>属性设置</source>
        <translation>Properties</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>操作选择</source>
        <translation>Operations</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>开始</source>
        <translation>Home</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>基本信息</source>
        <translation>Flow info</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>调试</source>
        <translation>Debug</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启/停[F8]</source>
        <translation>Run/stop [F8]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>界面布局</source>
        <translation>Layout</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>默认布局</source>
        <translation>Default layout</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>操作窗口</source>
        <translation>Operations panel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>属性窗口</source>
        <translation>Properties panel</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>文件未保存</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>当前操作流已修改，是否保存更改？</source>
        <translation>The flow has changed. Save the changes?</translation>
    </message>
</context>
<context>
    <name>KliqoraPropertyBrowser</name>
    <message>
        <location filename="../designer/propertypanel/kliqorapropertybrowser.cpp" line="+88"/>
        <source>属性</source>
        <translation>Property</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>值</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>LoopEndOperation</name>
    <message>
        <location filename="../core/loopendoperation.cpp" line="+9"/>
        <source>流程控制</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>重复结束</source>
        <translation>Loop end</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>重复的操作到此结束</source>
        <translation>End of the repeated operations</translation>
    </message>
</context>
<context>
    <name>LoopStartOperation</name>
    <message>
        <location filename="../core/loopstartoperation.cpp" line="+9"/>
        <source>流程控制</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>重复开始</source>
        <translation>Loop start</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>重复以下操作，直到停止</source>
        <translation>Repeat the operations below until stopped</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重复以下操作 %1 次</source>
        <translation>Repeat the operations below %1 times</translation>
    </message>
    <message>
        <location filename="../core/loopstartoperation.h" line="+12"/>
        <source>重复次数</source>
        <translation>Repeat count</translation>
    </message>
</context>
<context>
    <name>LoopStructure</name>
    <message>
        <location filename="../core/loopstructure.cpp" line="+53"/>
        <source>第 %1 行的“重复开始”没有对应的“重复结束”，流程无法运行。</source>
        <translation>The &quot;Loop start&quot; in row %1 has no matching &quot;Loop end&quot;: the flow cannot run.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>第 %1 行的“重复结束”没有对应的“重复开始”，流程无法运行。</source>
        <translation>The &quot;Loop end&quot; in row %1 has no matching &quot;Loop start&quot;: the flow cannot run.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <location filename="../app/mainwidget.cpp" line="+97"/>
        <location line="+141"/>
        <source>Kliqora妙指灵-键盘鼠标自动化输入工具</source>
        <translation>Kliqora - Keyboard and Mouse Automation</translation>
    </message>
    <message>
        <location line="-122"/>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>鼠标连点</source>
        <translation>Mouse Clicker</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>键盘连点</source>
        <translation>Key Presser</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>键鼠录制</source>
        <translation>Recorder</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>自定义操作</source>
        <translation>Flows</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>当前版本：%1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>官方网站</source>
        <translation>Website</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>此桌面不允许程序向其他窗口发送键盘鼠标输入：任务只能作用于 X 程序（Xwayland）。</source>
        <translation>This desktop does not let programs send keyboard and mouse input to other windows: jobs reach X programs (Xwayland) only.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法发送键盘鼠标输入：任务运行后不会有任何效果。</source>
        <translation>No keyboard or mouse input can be sent: jobs run without effect.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>快捷键设置失败</source>
        <translation>Cannot set the hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法注册快捷键 %1，可能已被占用。</source>
        <translation>Cannot register the hotkey %1: another program may be using it.</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&lt;p&gt;Kliqora妙指灵是一款免费的键盘鼠标自动化输入工具。请在遵守法律法规和各软件使用条款的前提下使用。&lt;/p&gt;</source>
        <translation>&lt;p&gt;Kliqora is a free tool that automates keyboard and mouse input. Use it within the law and the terms of use of the programs it works with.&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;p&gt;官方网站：&lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;Website: &lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt;p&gt;联系我们：support@kliqora.org&lt;/p&gt;</source>
        <translation>&lt;p&gt;Contact: support@kliqora.org&lt;/p&gt;</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>V%1.%2.%3版本已发布，建议到官网下载最新版本</source>
        <translation>Version %1.%2.%3 is out: get it from the website</translation>
    </message>
</context>
<context>
    <name>MouseClickOperation</name>
    <message>
        <location filename="../core/mouseclickoperation.cpp" line="+36"/>
        <source>鼠标</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>点击鼠标</source>
        <translation>Click</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>单击</source>
        <translation>Single-click</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>双击</source>
        <translation>Double-click</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>左键</source>
        <translation>left button</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>右键</source>
        <translation>right button</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>中键</source>
        <translation>middle button</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>在屏幕坐标(X=%1, Y=%2)处，%3鼠标%4</source>
        <translation>%3 the %4 at (X=%1, Y=%2)</translation>
    </message>
    <message>
        <location filename="../core/mouseclickoperation.h" line="+12"/>
        <source>点击类型</source>
        <translation>Click type</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>单击|双击</source>
        <translation>Single click|Double click</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>点击按键</source>
        <translation>Button</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>左键|右键|中键</source>
        <translation>Left|Right|Middle</translation>
    </message>
</context>
<context>
    <name>MouseMoveOperation</name>
    <message>
        <location filename="../core/mousemoveoperation.cpp" line="+9"/>
        <source>鼠标</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>移动鼠标</source>
        <translation>Move mouse</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>将鼠标移动到屏幕坐标 (X=%1, Y=%2)</source>
        <translation>Move the mouse to (X=%1, Y=%2)</translation>
    </message>
</context>
<context>
    <name>MouseOperation</name>
    <message>
        <location filename="../core/mouseoperation.h" line="+14"/>
        <source>位置坐标</source>
        <translation>Position</translation>
    </message>
</context>
<context>
    <name>MouseTask</name>
    <message>
        <location filename="../tasks/mousetask.cpp" line="+251"/>
        <source>要载入的文件不是鼠标连点任务文件</source>
        <translation>The file to load is not a mouse clicker job file</translation>
    </message>
</context>
<context>
    <name>MouseWheelOperation</name>
    <message>
        <location filename="../core/mousewheeloperation.cpp" line="+11"/>
        <source>鼠标</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>滚动滚轮</source>
        <translation>Scroll wheel</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>向左</source>
        <translation>left</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>向右</source>
        <translation>right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>向下</source>
        <translation>down</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>向上</source>
        <translation>up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在屏幕坐标(X=%1, Y=%2)处，%3滚动滚轮 %4</source>
        <translation>Scroll %3 by %4 at (X=%1, Y=%2)</translation>
    </message>
    <message>
        <location filename="../core/mousewheeloperation.h" line="+13"/>
        <source>滚动量</source>
        <translation>Amount</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>滚动方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>垂直|水平</source>
        <translation>Vertical|Horizontal</translation>
    </message>
</context>
<context>
    <name>MouseWidget</name>
    <message>
        <location filename="../app/pages/mousewidget.cpp" line="+82"/>
        <source>启动/停止连点
[%1]</source>
        <translation>Start/stop clicking
[%1]</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>鼠标连点</source>
        <translation>Mouse Clicker</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>修改快捷键</source>
        <translation>Change hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+245"/>
        <source>坐标：X=%1,Y=%2</source>
        <translation>Position: X=%1, Y=%2</translation>
    </message>
    <message>
        <location line="-63"/>
        <source>选择坐标失败</source>
        <translation>Cannot pick a position</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法捕获全局鼠标点击，请稍后重试。</source>
        <translation>Cannot catch mouse clicks on the screen. Try again later.</translation>
    </message>
</context>
<context>
    <name>MouseWidgetClass</name>
    <message>
        <location filename="../app/pages/mousewidget.ui" line="+11"/>
        <source>鼠标连点</source>
        <translation>Mouse Clicker</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标按键：</source>
        <translation>Button:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>左键</source>
        <translation>Left</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>右键</source>
        <translation>Right</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>中键</source>
        <translation>Middle</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>点击类型：</source>
        <translation>Click type:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>单击</source>
        <translation>Single</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>双击</source>
        <translation>Double</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>点击位置：</source>
        <translation>Click at:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>跟随鼠标位置</source>
        <translation>Mouse pointer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>指定位置</source>
        <translation>Fixed position</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>选择坐标</source>
        <translation>Pick position</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>坐标：X=0,Y=0</source>
        <translation>Position: X=0, Y=0</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>点击间隔：</source>
        <translation>Interval:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>固定间隔</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>毫秒    </source>
        <translation>ms    </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>在</source>
        <translation>Random up to</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>毫秒内随机</source>
        <translation>ms</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>停止方式：</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>重复</source>
        <translation>After</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>次后停止</source>
        <translation>clicks  </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>持续</source>
        <translation>After</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>毫秒后停止    </source>
        <translation>ms    </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>手动停止</source>
        <translation>By hand</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>随机抖动：</source>
        <translation>Random jitter:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>左右抖动</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>像素</source>
        <translation>px    </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上下抖动</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>组合按键：</source>
        <translation>Modifier keys:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>启动/停止连点
[F2]</source>
        <translation>Start/stop clicking
[F2]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&lt;a href=&apos;#&apos;&gt;修改快捷键&lt;/a&gt;</source>
        <translation>&lt;a href=&apos;#&apos;&gt;Change hotkey&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>Operation</name>
    <message>
        <location filename="../core/operation.h" line="+15"/>
        <source>执行间隔（毫秒）</source>
        <translation>Interval (ms)</translation>
    </message>
</context>
<context>
    <name>OperationModel</name>
    <message>
        <location filename="../designer/operationmodel.cpp" line="+157"/>
        <source>没有对应的“重复结束”，流程无法运行</source>
        <translation>No matching &quot;Loop end&quot;: the flow cannot run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有对应的“重复开始”，流程无法运行</source>
        <translation>No matching &quot;Loop start&quot;: the flow cannot run</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>操作类型</source>
        <translation>Operation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>执行间隔（毫秒）</source>
        <translation>Interval (ms)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
</context>
<context>
    <name>PointSelectWidget</name>
    <message>
        <location filename="../designer/propertypanel/pointselectwidget.cpp" line="+111"/>
        <source>此桌面不允许读取屏幕颜色，只选取位置</source>
        <translation>This desktop does not let programs read the screen: only the position is picked</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>选择坐标失败</source>
        <translation>Cannot pick a position</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法捕获全局鼠标点击，请稍后重试。</source>
        <translation>Cannot catch mouse clicks on the screen. Try again later.</translation>
    </message>
</context>
<context>
    <name>QtTreePropertyBrowser</name>
    <message>
        <location filename="../libs/propertybrowser/qttreepropertybrowser.cpp" line="+23"/>
        <source>Property</source>
        <translation>Property</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Value</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>QtVariantPropertyManager</name>
    <message>
        <location filename="../libs/propertybrowser/qtvariantpropertymanager.cpp" line="+122"/>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <location line="+277"/>
        <source>True</source>
        <translation>True</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>False</source>
        <translation>False</translation>
    </message>
</context>
<context>
    <name>RecordTable</name>
    <message>
        <location filename="../app/pages/recordtable.cpp" line="+30"/>
        <source>运行</source>
        <translation>Run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>更多</source>
        <translation>More</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>键鼠录制名称</source>
        <translation>Recording name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>启停快捷键</source>
        <translation>Start/stop hotkey</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>未设置</source>
        <translation>Not set</translation>
    </message>
</context>
<context>
    <name>RecordWidget</name>
    <message>
        <location filename="../app/pages/recordwidget.cpp" line="+81"/>
        <source>启动/停止录制
[%1]</source>
        <translation>Start/stop recording
[%1]</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>键鼠录制</source>
        <translation>Recorder</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>要录制的键盘鼠标动作：</source>
        <translation>Record:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标点击</source>
        <translation>Clicks</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标移动</source>
        <translation>Moves</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>滚轮滚动</source>
        <translation>Scrolls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>键盘按键</source>
        <translation>Keys</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>动作间隔等待时间</source>
        <translation>Pauses between actions</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>修改快捷键</source>
        <translation>Change hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>回放速度：</source>
        <translation>Replay speed:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>此桌面不允许程序录制全局键盘鼠标输入。请在 X11 会话中录制；录制好的文件在任何桌面都能回放。</source>
        <translation>This desktop does not let programs record global keyboard and mouse input. Record in an X11 session; recordings replay on every desktop.</translation>
    </message>
    <message>
        <location line="+135"/>
        <source>无法录制</source>
        <translation>Cannot record</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>录制选项未选择</source>
        <translation>Nothing to record</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请至少选择一种要录制的键盘鼠标动作。</source>
        <translation>Choose at least one kind of action to record.</translation>
    </message>
    <message>
        <location line="+145"/>
        <source>Kliqora妙指灵-键盘鼠标自动化输入工具</source>
        <translation>Kliqora - Keyboard and Mouse Automation</translation>
    </message>
    <message>
        <location line="+181"/>
        <source>快捷键设置失败</source>
        <translation>Cannot set the hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法注册新快捷键 %1，可能已被占用。</source>
        <translation>Cannot register the new hotkey %1: another program may be using it.</translation>
    </message>
</context>
<context>
    <name>RecordWidgetClass</name>
    <message>
        <location filename="../app/pages/recordwidget.ui" line="+12"/>
        <source>键鼠录制</source>
        <translation>Recorder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>要录制的键盘鼠标动作：</source>
        <translation>Record:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标点击</source>
        <translation>Clicks</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标移动</source>
        <translation>Moves</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>滚轮滚动</source>
        <translation>Scrolls</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>键盘按键</source>
        <translation>Keys</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>动作间隔等待时间</source>
        <translation>Pauses between actions</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回放速度：</source>
        <translation>Replay speed:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>启动/停止录制
[F4]</source>
        <translation>Start/stop recording
[F4]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;a href=&apos;#&apos;&gt;修改快捷键&lt;/a&gt;</source>
        <translation>&lt;a href=&apos;#&apos;&gt;Change hotkey&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>RecordingConverter</name>
    <message>
        <location filename="../tasks/recordingconverter.cpp" line="+246"/>
        <source>由录制“%1”转换而来</source>
        <translation>Converted from the recording &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>RowActions</name>
    <message>
        <location filename="../app/pages/rowactions.cpp" line="+26"/>
        <source>删除确认</source>
        <translation>Confirm deletion</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>确定要删除录制 &quot;%1&quot; 吗？</source>
        <translation>Delete the recording &quot;%1&quot;?</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>创建副本</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置快捷键</source>
        <translation>Set hotkey</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>转为流程</source>
        <translation>Convert to flow</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>转为流程（保留全部移动）</source>
        <translation>Convert to flow (keep every move)</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../app/dialogs/settings.cpp" line="+56"/>
        <source>跟随系统</source>
        <translation>Same as the system</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>选择保存目录</source>
        <translation>Choose the save folder</translation>
    </message>
</context>
<context>
    <name>SettingsClass</name>
    <message>
        <location filename="../app/dialogs/settings.ui" line="+14"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>录制/自定义操作保存位置：</source>
        <translation>Save recordings and flows in:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>点击主窗口关闭按钮时：</source>
        <translation>When I close the main window:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>最小化到系统托盘，不关闭软件</source>
        <translation>Keep running in the system tray</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>关闭软件</source>
        <translation>Quit Kliqora</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>界面语言：</source>
        <translation>Language:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>（重新启动后生效）</source>
        <translation>(applies at the next start)</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ShownHotkey</name>
    <message>
        <location filename="../app/pages/shownhotkey.cpp" line="+10"/>
        <source>桌面快捷键</source>
        <translation>Desktop shortcut</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>此桌面不允许程序使用全局快捷键。点击“修改快捷键”可查看要在桌面的键盘设置中绑定的命令。</source>
        <translation>This desktop does not let programs use global hotkeys. Click &quot;Change hotkey&quot; to see the command to bind in the desktop&apos;s keyboard settings.</translation>
    </message>
</context>
<context>
    <name>SuspendFrame</name>
    <message>
        <location filename="../app/pages/suspendframe.cpp" line="+31"/>
        <source>停止录制</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>SuspendFrameClass</name>
    <message>
        <location filename="../app/pages/suspendframe.ui" line="+34"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>SystemTray</name>
    <message>
        <location filename="../app/systemtray.cpp" line="+20"/>
        <source>Kliqora妙指灵-键盘鼠标自动化输入工具</source>
        <translation>Kliqora - Keyboard and Mouse Automation</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>打开主界面</source>
        <translation>Open Kliqora</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>退出Kliqora妙指灵</source>
        <translation>Quit Kliqora</translation>
    </message>
</context>
<context>
    <name>TaskFile</name>
    <message>
        <location filename="../tasks/taskfile.cpp" line="+56"/>
        <source>无法读取文件</source>
        <translation>Cannot read the file</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>要载入的文件不是本应用的文件.</source>
        <translation>The file to load is not a Kliqora file.</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>无法写入文件</source>
        <translation>Cannot write the file</translation>
    </message>
</context>
<context>
    <name>TaskRenameClass</name>
    <message>
        <location filename="../app/dialogs/taskrename.ui" line="+14"/>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>请输入新的任务名称：</source>
        <translation>New name:</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TaskWidget</name>
    <message>
        <location filename="../app/taskwidget.cpp" line="+153"/>
        <source>快捷键设置失败</source>
        <translation>Cannot set the hotkey</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法注册快捷键 %1，可能已被占用。</source>
        <translation>Cannot register the hotkey %1: another program may be using it.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>重复次数未设置</source>
        <translation>Repeat count not set</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请填写重复次数（至少 1 次），再启动。</source>
        <translation>Enter a repeat count (at least 1), then start.</translation>
    </message>
</context>
<context>
    <name>TextInputOperation</name>
    <message>
        <location filename="../core/textinputoperation.cpp" line="+11"/>
        <source>键盘</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>输入文本</source>
        <translation>Type text</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>输入文本: %1</source>
        <translation>Type text: %1</translation>
    </message>
    <message>
        <location filename="../core/textinputoperation.h" line="+11"/>
        <source>输入内容</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>WaitColorOperation</name>
    <message>
        <location filename="../core/waitcoloroperation.cpp" line="+17"/>
        <source>流程控制</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>等待颜色</source>
        <translation>Wait for color</translation>
    </message>
    <message>
        <location line="+121"/>
        <source>等待屏幕坐标(X=%1, Y=%2)处显示颜色 %3</source>
        <translation>Wait for color %3 at (X=%1, Y=%2)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>继续执行</source>
        <translation>continue</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>停止流程</source>
        <translation>stop the flow</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1，最多 %2 毫秒，超时后%3</source>
        <translation>%1, timeout %2 ms: %3</translation>
    </message>
    <message>
        <location filename="../core/waitcoloroperation.h" line="+18"/>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>容差</source>
        <translation>Tolerance</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>超时（毫秒）</source>
        <translation>Timeout (ms)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>超时后</source>
        <translation>On timeout</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>停止流程|继续执行</source>
        <translation>Stop the flow|Continue</translation>
    </message>
</context>
</TS>
