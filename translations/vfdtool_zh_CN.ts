<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CommissionWindow</name>
    <message>
        <source>working...</source>
        <translation>进行中……</translation>
    </message>
    <message>
        <source>done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>未进行</translation>
    </message>
    <message>
        <source>Commission Line</source>
        <translation>整线调试</translation>
    </message>
    <message>
        <source>Steps of each drive</source>
        <translation>各变频器的步骤</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Scan</source>
        <translation>扫描</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Test run</source>
        <translation>试运行</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>&amp;Start...</source>
        <translation>开始(&amp;S)...</translation>
    </message>
    <message>
        <source>Cancel &amp;&amp; &amp;STOP</source>
        <translation>取消并停机(&amp;T)</translation>
    </message>
    <message>
        <source>Stops every running drive, then ends the job</source>
        <translation>先停止所有运行中的变频器，再结束任务</translation>
    </message>
    <message>
        <source>Open &amp;Report</source>
        <translation>打开报告(&amp;R)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>This row cannot be commissioned: %1.</source>
        <translation>此排无法调试：%1。</translation>
    </message>
    <message>
        <source>to do</source>
        <translation>待进行</translation>
    </message>
    <message>
        <source> Nothing was sent.</source>
        <translation>未发送任何内容。</translation>
    </message>
    <message>
        <source>Stopping the running drives...</source>
        <translation>正在停止运行中的变频器……</translation>
    </message>
    <message>
        <source>Cancelled: %1 of %2 drives commissioned.</source>
        <translation>已取消：%2 台中 %1 台已调试。</translation>
    </message>
    <message>
        <source>Finished: %1 of %2 drives commissioned.</source>
        <translation>已完成：%2 台中 %1 台已调试。</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Welcome Using KORVANTEX Inverter</source>
        <translation>欢迎使用 KORVANTEX 变频器</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>Error Warning</source>
        <translation>错误警告</translation>
    </message>
    <message>
        <source>Message!</source>
        <translation>提示！</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>The inverter address must be a whole number from 0 to %1. Nothing was sent.</source>
        <translation>变频器地址必须是 0 到 %1 之间的整数。未发送任何内容。</translation>
    </message>
    <message>
        <source>No answer from drive %1: %2 may not have been written</source>
        <translation>变频器 %1 无应答：%2 可能未写入</translation>
    </message>
    <message>
        <source>it does not take this request</source>
        <translation>它不接受此请求</translation>
    </message>
    <message>
        <source>it has no such parameter</source>
        <translation>没有此参数</translation>
    </message>
    <message>
        <source>the value is not allowed now</source>
        <translation>当前不允许此值</translation>
    </message>
    <message>
        <source>the drive failed to do it</source>
        <translation>变频器执行失败</translation>
    </message>
    <message>
        <source>reason code %1</source>
        <translation>原因代码 %1</translation>
    </message>
    <message>
        <source>Drive %1 refused %2 (exception %3: %4)</source>
        <translation>变频器 %1 拒绝了 %2（异常 %3：%4）</translation>
    </message>
    <message>
        <source>%1 written to drive %2</source>
        <translation>%1 已写入变频器 %2</translation>
    </message>
    <message>
        <source>Drive %1 answered %2 with another value: not written</source>
        <translation>变频器 %1 对 %2 应答了另一个值：未写入</translation>
    </message>
    <message>
        <source>No answer from drive %1</source>
        <translation>变频器 %1 无应答</translation>
    </message>
    <message>
        <source>Reserve</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>%1 not sent: %2</source>
        <translation>%1 未发送：%2</translation>
    </message>
    <message>
        <source>Parameter error,refer to Max &amp;&amp; Min </source>
        <translation>参数错误，请参考最大值和最小值 </translation>
    </message>
    <message>
        <source>outside Min %1 and Max %2</source>
        <translation>超出最小值 %1 和最大值 %2 的范围</translation>
    </message>
    <message>
        <source>no value typed</source>
        <translation>未输入数值</translation>
    </message>
    <message>
        <source>The parameter picked has not been read from the drive yet. Nothing was sent.</source>
        <translation>所选参数尚未从变频器读取。未发送任何内容。</translation>
    </message>
    <message>
        <source>not read from the drive yet</source>
        <translation>尚未从变频器读取</translation>
    </message>
    <message>
        <source>This parameter is reserved and cannot be written. Nothing was sent.</source>
        <translation>此参数为保留参数，不能写入。未发送任何内容。</translation>
    </message>
    <message>
        <source>reserved</source>
        <translation>保留参数</translation>
    </message>
    <message>
        <source>The present value is not a number. Nothing was sent.</source>
        <translation>当前值不是数字。未发送任何内容。</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>不是数字</translation>
    </message>
    <message>
        <source>The value does not fit the parameter&apos;s register. Nothing was sent.</source>
        <translation>该值超出参数寄存器的范围。未发送任何内容。</translation>
    </message>
    <message>
        <source>does not fit the register</source>
        <translation>超出寄存器范围</translation>
    </message>
    <message>
        <source>no valid inverter address</source>
        <translation>变频器地址无效</translation>
    </message>
    <message>
        <source>Address 0 would reach every drive on the line; a parameter is written to one drive at a time. Nothing was sent.</source>
        <translation>地址 0 会送达线路上的所有变频器；参数每次只写入一台变频器。未发送任何内容。</translation>
    </message>
    <message>
        <source>address 0 would reach every drive</source>
        <translation>地址 0 会送达所有变频器</translation>
    </message>
    <message>
        <source>the port is not open</source>
        <translation>端口未打开</translation>
    </message>
    <message>
        <source>Encrypted Successfully.</source>
        <translation>加密成功。</translation>
    </message>
    <message>
        <source>Password did not be setted,please set a password!</source>
        <translation>尚未设置密码，请设置密码！</translation>
    </message>
    <message>
        <source>Machine Type &amp;&amp; Parameter Set</source>
        <translation>机型与参数设置</translation>
    </message>
    <message>
        <source>Root Parameter</source>
        <translation>参数组</translation>
    </message>
    <message>
        <source>Sub Parameter</source>
        <translation>子参数</translation>
    </message>
    <message>
        <source>Present Value</source>
        <translation>当前值</translation>
    </message>
    <message>
        <source>Parameter Name</source>
        <translation>参数说明</translation>
    </message>
    <message>
        <source>Inverter Address</source>
        <translation>变频器地址</translation>
    </message>
    <message>
        <source>Changing Attribute</source>
        <translation>更改属性</translation>
    </message>
    <message>
        <source>Defualt</source>
        <translation>出厂值</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小值</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>最小单位</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>加密</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>model setting</source>
        <translation>随机型设定</translation>
    </message>
</context>
<context>
    <name>LineStatisticsWindow</name>
    <message>
        <source>Line Statistics</source>
        <translation>线路统计</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>清零(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Bytes in no frame: %1</source>
        <translation>不属于任何帧的字节：%1</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Requests</source>
        <translation>请求</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>应答</translation>
    </message>
    <message>
        <source>Late answers</source>
        <translation>迟到应答</translation>
    </message>
    <message>
        <source>Time-outs</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>Damaged</source>
        <translation>损坏</translation>
    </message>
    <message>
        <source>Exceptions</source>
        <translation>异常</translation>
    </message>
    <message>
        <source>Mean answer ms</source>
        <translation>平均应答 ms</translation>
    </message>
    <message>
        <source>Max answer ms</source>
        <translation>最长应答 ms</translation>
    </message>
</context>
<context>
    <name>NewSiteDialog</name>
    <message>
        <source>New Site</source>
        <translation>新建现场</translation>
    </message>
    <message>
        <source>an empty folder, or one to be made</source>
        <translation>空文件夹，或待创建的文件夹</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>浏览(&amp;B)...</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>文件夹(&amp;F)：</translation>
    </message>
    <message>
        <source>Site &amp;name:</source>
        <translation>现场名称(&amp;N)：</translation>
    </message>
    <message>
        <source>&amp;Customer:</source>
        <translation>客户(&amp;C)：</translation>
    </message>
    <message>
        <source>&amp;Technician:</source>
        <translation>技术员(&amp;T)：</translation>
    </message>
    <message>
        <source>Line&apos;s &amp;port:</source>
        <translation>线路端口(&amp;P)：</translation>
    </message>
    <message>
        <source>Line&apos;s &amp;settings:</source>
        <translation>线路设置(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Create</source>
        <translation>创建(&amp;C)</translation>
    </message>
    <message>
        <source>Folder of the New Site</source>
        <translation>新现场的文件夹</translation>
    </message>
</context>
<context>
    <name>ParamSetWindow</name>
    <message>
        <source>Drive Parameters</source>
        <translation>变频器参数</translation>
    </message>
    <message>
        <source>Parameter sets (*.csv)</source>
        <translation>参数组文件 (*.csv)</translation>
    </message>
    <message>
        <source>Open Parameter Set</source>
        <translation>打开参数组</translation>
    </message>
    <message>
        <source>Save Parameter Set</source>
        <translation>保存参数组</translation>
    </message>
    <message>
        <source>Parameter writing is open.</source>
        <translation>参数写入已开放。</translation>
    </message>
    <message>
        <source>Parameter writing is locked: &quot;Set&quot; → &quot;Password&quot; opens it.</source>
        <translation>参数写入已锁定：“设置”→“密码”可解锁。</translation>
    </message>
    <message>
        <source>Parameter writing is locked: open the lock in &quot;Set&quot; → &quot;Password&quot; first. Nothing was written.</source>
        <translation>参数写入已锁定：请先在“设置”→“密码”中解锁。未写入任何内容。</translation>
    </message>
    <message>
        <source>Reading drive %1 ...</source>
        <translation>正在读取变频器 %1 ...</translation>
    </message>
    <message>
        <source>Reading drive %1 cancelled.</source>
        <translation>已取消读取变频器 %1。</translation>
    </message>
    <message>
        <source>drive %1, read %2</source>
        <translation>变频器 %1，读取于 %2</translation>
    </message>
    <message>
        <source>Drive %1 read: %2 parameters.</source>
        <translation>已读取变频器 %1：%2 个参数。</translation>
    </message>
    <message>
        <source>Drive %1 read; not answered: %2</source>
        <translation>已读取变频器 %1；未应答：%2</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1，第 %2 行：%3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>file %1</source>
        <translation>文件 %1</translation>
    </message>
    <message>
        <source>Opened %1: %2 parameters.</source>
        <translation>已打开 %1：%2 个参数。</translation>
    </message>
    <message>
        <source>the catalogue&apos;s defaults</source>
        <translation>参数表的出厂值</translation>
    </message>
    <message>
        <source>Set A holds no parameter a drive answered; nothing was saved.</source>
        <translation>参数组 A 中没有变频器应答过的参数；未保存任何内容。</translation>
    </message>
    <message>
        <source>%1 holds %2 answered parameters; set A has %3 (%4 not answered). Replace the file?</source>
        <translation>%1 中有 %2 个已应答的参数；参数组 A 有 %3 个（%4 个未应答）。是否替换该文件？</translation>
    </message>
    <message>
        <source>%1 was left as it was.</source>
        <translation>%1 保持不变。</translation>
    </message>
    <message>
        <source>The parameter set could not be saved to %1: %2</source>
        <translation>参数组无法保存到 %1：%2</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>已保存到 %1。</translation>
    </message>
    <message>
        <source>Saved to %1: %2 read, %3 not answered.</source>
        <translation>已保存到 %1：读取 %2 个，%3 个未应答。</translation>
    </message>
    <message>
        <source>%1 between A and B.</source>
        <translation>A 与 B 之间有 %1。</translation>
    </message>
    <message>
        <source>Nothing to write to drive %1.</source>
        <translation>没有需要写入变频器 %1 的内容。</translation>
    </message>
    <message>
        <source>Write %1 to drive %2?</source>
        <translation>将 %1 写入变频器 %2？</translation>
    </message>
    <message>
        <source>%1 %2: %3 -&gt; %4</source>
        <translation>%1 %2：%3 -&gt; %4</translation>
    </message>
    <message>
        <source>... and %1 more, as ticked in the table.</source>
        <translation>……以及表中勾选的另外 %1 个。</translation>
    </message>
    <message>
        <source>Left out:</source>
        <translation>未包含：</translation>
    </message>
    <message>
        <source>Not ticked, so not written:</source>
        <translation>未勾选，因此不写入：</translation>
    </message>
    <message>
        <source>Writing %1 to drive %2 ...</source>
        <translation>正在将 %1 写入变频器 %2 ...</translation>
    </message>
    <message>
        <source>Give the target drives, for example 2,3,4.</source>
        <translation>请给出目标变频器，例如 2,3,4。</translation>
    </message>
    <message>
        <source>Reading the target drives ...</source>
        <translation>正在读取目标变频器 ...</translation>
    </message>
    <message>
        <source>Drive %1 does not answer: it will be left alone.</source>
        <translation>变频器 %1 无应答：将不对其操作。</translation>
    </message>
    <message>
        <source>  %1 %2: %3 -&gt; %4</source>
        <translation>  %1 %2：%3 -&gt; %4</translation>
    </message>
    <message>
        <source>Drive %1: %2 to write</source>
        <translation>变频器 %1：待写入 %2</translation>
    </message>
    <message>
        <source>  left out: %1</source>
        <translation>  未包含：%1</translation>
    </message>
    <message>
        <source>  left out as asked (tick its box to write it): %1</source>
        <translation>  按要求未包含（勾选其复选框即可写入）：%1</translation>
    </message>
    <message>
        <source>No drive needs a write: nothing to clone.</source>
        <translation>没有变频器需要写入：无需复制。</translation>
    </message>
    <message>
        <source>Write set A to %1 as previewed?</source>
        <translation>按预览将参数组 A 写入 %1？</translation>
    </message>
    <message>
        <source>Cloning ...</source>
        <translation>正在复制 ...</translation>
    </message>
    <message>
        <source>Set A (source)</source>
        <translation>参数组 A（来源）</translation>
    </message>
    <message>
        <source>Drive address</source>
        <translation>变频器地址</translation>
    </message>
    <message>
        <source>Read Drive</source>
        <translation>读取变频器</translation>
    </message>
    <message>
        <source>Open File...</source>
        <translation>打开文件...</translation>
    </message>
    <message>
        <source>Save File...</source>
        <translation>保存文件...</translation>
    </message>
    <message>
        <source>nothing read yet</source>
        <translation>尚未读取</translation>
    </message>
    <message>
        <source>Set A</source>
        <translation>参数组 A</translation>
    </message>
    <message>
        <source>Set B (compare with, restore to)</source>
        <translation>参数组 B（比较对象、恢复目标）</translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation>出厂值</translation>
    </message>
    <message>
        <source>Set B</source>
        <translation>参数组 B</translation>
    </message>
    <message>
        <source>Differences only</source>
        <translation>仅显示差异</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Write Ticked to Drive B</source>
        <translation>将勾选项写入变频器 B</translation>
    </message>
    <message>
        <source>Clone set A</source>
        <translation>复制参数组 A</translation>
    </message>
    <message>
        <source>Target drives</source>
        <translation>目标变频器</translation>
    </message>
    <message>
        <source>Include P8.00 (address)</source>
        <translation>包括 P8.00（地址）</translation>
    </message>
    <message>
        <source>Include P8.01 (line settings)</source>
        <translation>包括 P8.01（线路设置）</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>预览</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>报告</translation>
    </message>
    <message>
        <source>Parameter writing</source>
        <translation>参数写入</translation>
    </message>
    <message>
        <source>Save to Site</source>
        <translation>保存到现场</translation>
    </message>
    <message>
        <source>The parameter set could not be saved into the site: %1</source>
        <translation>参数组无法保存到现场：%1</translation>
    </message>
</context>
<context>
    <name>RecorderChart</name>
    <message>
        <source>Point at the chart to read the values. Arrow keys pan, + and - zoom, Home shows all.</source>
        <translation>指向图表即可读取数值。方向键平移，+ 和 - 缩放，Home 显示全部。</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>图表</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Drive %1 %2</source>
        <translation>变频器 %1 %2</translation>
    </message>
</context>
<context>
    <name>RecorderWindow</name>
    <message>
        <source>Recorder</source>
        <translation>数据记录</translation>
    </message>
    <message>
        <source>Drive addresses 1..31, separated by commas</source>
        <translation>变频器地址 1..31，以逗号分隔</translation>
    </message>
    <message>
        <source>Drives</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>间隔</translation>
    </message>
    <message>
        <source>Write a CSV file</source>
        <translation>写入 CSV 文件</translation>
    </message>
    <message>
        <source>Choose the file to record into</source>
        <translation>选择记录到的文件</translation>
    </message>
    <message>
        <source>Choose the file</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>next to the file</source>
        <translation>与文件同目录</translation>
    </message>
    <message>
        <source>Snapshots</source>
        <translation>快照</translation>
    </message>
    <message>
        <source> s before a trip</source>
        <translation> s（跳闸前）</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>记录</translation>
    </message>
    <message>
        <source>Open CSV...</source>
        <translation>打开 CSV...</translation>
    </message>
    <message>
        <source>Follow</source>
        <translation>跟随</translation>
    </message>
    <message>
        <source>Show all</source>
        <translation>显示全部</translation>
    </message>
    <message>
        <source>Record into</source>
        <translation>记录到</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>Open a recording</source>
        <translation>打开记录</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV 文件 (*.csv);;所有文件 (*)</translation>
    </message>
    <message>
        <source>Snapshot written: %1</source>
        <translation>快照已写入：%1</translation>
    </message>
    <message>
        <source>Drives: %1; give addresses 1..31 separated by commas.</source>
        <translation>变频器：%1；请给出 1..31 的地址，以逗号分隔。</translation>
    </message>
    <message>
        <source>Pick at least one value.</source>
        <translation>请至少选择一个数值。</translation>
    </message>
    <message>
        <source>File: name the file to record into, or untick &quot;Write a CSV file&quot; to keep the recording in the chart only.</source>
        <translation>文件：请指定记录到的文件，或取消勾选“写入 CSV 文件”以仅在图表中保留记录。</translation>
    </message>
    <message>
        <source>%1 holds an earlier recording. Replace it?</source>
        <translation>%1 中已有早先的记录。是否替换？</translation>
    </message>
    <message>
        <source>Not recorded: %1 is kept as it was.</source>
        <translation>未记录：%1 保持不变。</translation>
    </message>
    <message>
        <source>The recording could not be put into the site: %1</source>
        <translation>记录无法放入现场：%1</translation>
    </message>
    <message>
        <source>The recording goes to %1</source>
        <translation>记录写入 %1</translation>
    </message>
    <message>
        <source>No file is named: the recording stays in the chart only</source>
        <translation>未指定文件：记录仅保留在图表中</translation>
    </message>
    <message>
        <source>No file is written: the recording stays in the chart only</source>
        <translation>不写入文件：记录仅保留在图表中</translation>
    </message>
    <message>
        <source>%1; trip snapshots go to %2.</source>
        <translation>%1；跳闸快照写入 %2。</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Recording…</source>
        <translation>正在记录…</translation>
    </message>
    <message>
        <source>%1 rounds recorded.</source>
        <translation>已记录 %1 轮。</translation>
    </message>
    <message>
        <source>%1 rounds recorded into %2.</source>
        <translation>已将 %1 轮记录到 %2。</translation>
    </message>
    <message>
        <source> %1 trip snapshot(s) could not be written.</source>
        <translation> %1 个跳闸快照无法写入。</translation>
    </message>
    <message>
        <source>%1: %2 rows</source>
        <translation>%1：%2 行</translation>
    </message>
    <message>
        <source>a new file in the site</source>
        <translation>现场中的新文件</translation>
    </message>
    <message>
        <source>the site&apos;s snapshots folder</source>
        <translation>现场的快照文件夹</translation>
    </message>
    <message>
        <source>No file is written: the recording stays in the chart only; trip snapshots go to %1.</source>
        <translation>不写入文件：记录仅保留在图表中；跳闸快照写入 %1。</translation>
    </message>
    <message>
        <source>The recording goes to a new file in %1; trip snapshots go to %2.</source>
        <translation>记录写入 %1 中的新文件；跳闸快照写入 %2。</translation>
    </message>
    <message>
        <source>As fast as the line allows</source>
        <translation>线路允许的最快速度</translation>
    </message>
</context>
<context>
    <name>ReportWindow</name>
    <message>
        <source>Commissioning Report</source>
        <translation>调试报告</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>美式信纸</translation>
    </message>
    <message>
        <source>Whole parameter sets at the end</source>
        <translation>在末尾附完整参数组</translation>
    </message>
    <message>
        <source>Appendix</source>
        <translation>附录</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>添加(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>移除(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>浏览(&amp;B)...</translation>
    </message>
    <message>
        <source>&amp;Make Report</source>
        <translation>生成报告(&amp;M)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Name the drives, then Make Report.</source>
        <translation>请指定变频器，然后生成报告。</translation>
    </message>
    <message>
        <source>&amp;Drives:</source>
        <translation>变频器(&amp;D)：</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>现场(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Technician:</source>
        <translation>技术员(&amp;T)：</translation>
    </message>
    <message>
        <source>&amp;Paper:</source>
        <translation>纸张(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Appendix:</source>
        <translation>附录(&amp;A)：</translation>
    </message>
    <message>
        <source>Test r&amp;uns:</source>
        <translation>试运行(&amp;U)：</translation>
    </message>
    <message>
        <source>Report &amp;file:</source>
        <translation>报告文件(&amp;F)：</translation>
    </message>
    <message>
        <source>Add Test Runs</source>
        <translation>添加试运行</translation>
    </message>
    <message>
        <source>Test runs (*.json)</source>
        <translation>试运行结果 (*.json)</translation>
    </message>
    <message>
        <source>Report File</source>
        <translation>报告文件</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Drive %1, %2 Hz, %3 — %4</source>
        <translation>变频器 %1，%2 Hz，%3 — %4</translation>
    </message>
    <message>
        <source>%1 is no test run: %2.</source>
        <translation>%1 不是试运行结果：%2。</translation>
    </message>
    <message>
        <source>Name the drives, for example 1-3.</source>
        <translation>请指定变频器，例如 1-3。</translation>
    </message>
    <message>
        <source>Name the report file.</source>
        <translation>请指定报告文件。</translation>
    </message>
    <message>
        <source>Name the technician who signs the report.</source>
        <translation>请指定签署报告的技术员。</translation>
    </message>
    <message>
        <source>Cancelled: no report was written.</source>
        <translation>已取消：未生成报告。</translation>
    </message>
    <message>
        <source>drive %1: %2</source>
        <translation>变频器 %1：%2</translation>
    </message>
    <message>
        <source>Written: %1 and %2.</source>
        <translation>已写入：%1 和 %2。</translation>
    </message>
    <message>
        <source> Not answering (named in the report): %1.</source>
        <translation> 无应答（已在报告中列出）：%1。</translation>
    </message>
    <message>
        <source> Parameters not answered (counted in the report): %1.</source>
        <translation> 未应答的参数（已在报告中计数）：%1。</translation>
    </message>
    <message>
        <source>a new file in the site&apos;s reports folder</source>
        <translation>现场报告文件夹中的新文件</translation>
    </message>
    <message>
        <source>The report could not be put into the site: %1</source>
        <translation>报告无法放入现场：%1</translation>
    </message>
</context>
<context>
    <name>RunningValues</name>
    <message>
        <source>Output frequency</source>
        <translation>输出频率</translation>
    </message>
    <message>
        <source>Set frequency</source>
        <translation>设定频率</translation>
    </message>
    <message>
        <source>Output current</source>
        <translation>输出电流</translation>
    </message>
    <message>
        <source>Output voltage</source>
        <translation>输出电压</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>转速</translation>
    </message>
    <message>
        <source>Run speed</source>
        <translation>运行线速度</translation>
    </message>
    <message>
        <source>Speed set</source>
        <translation>设定线速度</translation>
    </message>
    <message>
        <source>DC bus voltage</source>
        <translation>直流母线电压</translation>
    </message>
    <message>
        <source>Input voltage</source>
        <translation>输入电压</translation>
    </message>
    <message>
        <source>PID set</source>
        <translation>PID 设定</translation>
    </message>
    <message>
        <source>PID feedback</source>
        <translation>PID 反馈</translation>
    </message>
    <message>
        <source>AVI</source>
        <translation>AVI 输入</translation>
    </message>
    <message>
        <source>ACI</source>
        <translation>ACI 输入</translation>
    </message>
    <message>
        <source>Pulse input</source>
        <translation>脉冲输入</translation>
    </message>
    <message>
        <source>Terminal inputs</source>
        <translation>输入端子状态</translation>
    </message>
    <message>
        <source>Radiator temperature</source>
        <translation>散热器温度</translation>
    </message>
    <message>
        <source>Module temperature</source>
        <translation>模块温度</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>计数值</translation>
    </message>
    <message>
        <source>Count set</source>
        <translation>计数设定值</translation>
    </message>
    <message>
        <source>Fault record 1</source>
        <translation>故障记录 1</translation>
    </message>
    <message>
        <source>Fault record 2</source>
        <translation>故障记录 2</translation>
    </message>
    <message>
        <source>Fault record 3</source>
        <translation>故障记录 3</translation>
    </message>
    <message>
        <source>Output frequency at the last fault</source>
        <translation>最近故障时输出频率</translation>
    </message>
    <message>
        <source>Set frequency at the last fault</source>
        <translation>最近故障时设定频率</translation>
    </message>
    <message>
        <source>Output current at the last fault</source>
        <translation>最近故障时输出电流</translation>
    </message>
    <message>
        <source>Output voltage at the last fault</source>
        <translation>最近故障时输出电压</translation>
    </message>
    <message>
        <source>DC bus voltage at the last fault</source>
        <translation>最近故障时直流母线电压</translation>
    </message>
    <message>
        <source>Module temperature at the last fault</source>
        <translation>最近故障时模块温度</translation>
    </message>
    <message>
        <source>Software edition</source>
        <translation>软件版本</translation>
    </message>
</context>
<context>
    <name>SavedSettings</name>
    <message>
        <source>it cannot be read</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>it is damaged</source>
        <translation>文件已损坏</translation>
    </message>
    <message>
        <source>it was not written by this vfdtool</source>
        <translation>不是由本 vfdtool 写入的</translation>
    </message>
    <message>
        <source>it holds values vfdtool cannot use</source>
        <translation>其中的值 vfdtool 无法使用</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <translation>无法将设置保存到 %1。</translation>
    </message>
    <message>
        <source>it is far too large for a settings file</source>
        <translation>作为设置文件过大</translation>
    </message>
    <message>
        <source>The saved settings in %1 were not used (%2); vfdtool started with its defaults and will keep its settings there from now on.</source>
        <translation>未使用 %1 中保存的设置（%2）；vfdtool 以默认设置启动，今后将把设置保存在该处。</translation>
    </message>
    <message>
        <source>The port %1 is not there now (adapter unplugged?). It stays chosen: plug it in, then open it.</source>
        <translation>端口 %1 当前不存在（适配器被拔出？）。它仍被选中：插好后再打开。</translation>
    </message>
</context>
<context>
    <name>ScanWindow</name>
    <message>
        <source>Scan Line</source>
        <translation>扫描线路</translation>
    </message>
    <message>
        <source>&amp;Scan</source>
        <translation>扫描(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Find Line Settings</source>
        <translation>查找线路设置(&amp;F)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Watch This Drive</source>
        <translation>监视此变频器(&amp;W)</translation>
    </message>
    <message>
        <source>Addresses from</source>
        <translation>地址从</translation>
    </message>
    <message>
        <source>to</source>
        <translation>到</translation>
    </message>
    <message>
        <source>Trying %1 ...</source>
        <translation>正在尝试 %1 ...</translation>
    </message>
    <message>
        <source>Open the port first.</source>
        <translation>请先打开端口。</translation>
    </message>
    <message>
        <source>Nothing to scan: &quot;from&quot; lies above &quot;to&quot;.</source>
        <translation>无可扫描：“从”大于“到”。</translation>
    </message>
    <message>
        <source>Scanning ...</source>
        <translation>正在扫描 ...</translation>
    </message>
    <message>
        <source>Nothing to search: &quot;from&quot; lies above &quot;to&quot;.</source>
        <translation>无可查找：“从”大于“到”。</translation>
    </message>
    <message>
        <source>Scan stopped; %1 drive(s) found so far.</source>
        <translation>扫描已停止；目前已找到 %1 台变频器。</translation>
    </message>
    <message>
        <source>%1 drive(s) answered; the scan took %2 s.</source>
        <translation>%1 台变频器应答；扫描用时 %2 s。</translation>
    </message>
    <message>
        <source>Search stopped; the port keeps %1.</source>
        <translation>查找已停止；端口保持 %1。</translation>
    </message>
    <message>
        <source>No drive answered at any setting; the port keeps %1.</source>
        <translation>任何设置下均无变频器应答；端口保持 %1。</translation>
    </message>
    <message>
        <source>Drive %1 answers at %2.</source>
        <translation>变频器 %1 在 %2 下应答。</translation>
    </message>
    <message>
        <source>Line Settings</source>
        <translation>线路设置</translation>
    </message>
    <message>
        <source>Drive %1 answers at %2. Take these settings?</source>
        <translation>变频器 %1 在 %2 下应答。是否采用这些设置？</translation>
    </message>
    <message>
        <source>The port now runs at %1.</source>
        <translation>端口现以 %1 运行。</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>refused (exception %1)</source>
        <translation>拒绝（异常 %1）</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>FWD</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
</context>
<context>
    <name>SiteNote</name>
    <message>
        <source>Site</source>
        <translation>现场</translation>
    </message>
    <message>
        <source> &lt;a href=&quot;%1&quot;&gt;Open the folder&lt;/a&gt;</source>
        <translation> &lt;a href=&quot;%1&quot;&gt;打开文件夹&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Saving into the site %1 (%2).</source>
        <translation>正在保存到现场 %1（%2）。</translation>
    </message>
    <message>
        <source>&lt;b&gt;The site&apos;s journal could not be written.&lt;/b&gt; </source>
        <translation>&lt;b&gt;无法写入现场日志。&lt;/b&gt; </translation>
    </message>
    <message>
        <source>Saved into the site %1: %2.</source>
        <translation>已保存到现场 %1：%2。</translation>
    </message>
    <message>
        <source>&lt;b&gt;Warning:&lt;/b&gt; the site&apos;s journal could not be written (%1): what is sent from here is not recorded.</source>
        <translation>&lt;b&gt;警告：&lt;/b&gt;无法写入现场日志（%1）：从这里发送的内容不会被记录。</translation>
    </message>
</context>
<context>
    <name>SiteWindow</name>
    <message>
        <source>Site</source>
        <translation>现场</translation>
    </message>
    <message>
        <source>Open Site</source>
        <translation>打开现场</translation>
    </message>
    <message>
        <source>Scanning line %1: address %2 of %3 ...</source>
        <translation>正在扫描线路 %1：地址 %2 / %3 ...</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>新建(&amp;N)...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Recent</source>
        <translation>最近(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Line:</source>
        <translation>线路(&amp;L)：</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>线路</translation>
    </message>
    <message>
        <source>&amp;Scan</source>
        <translation>扫描(&amp;S)</translation>
    </message>
    <message>
        <source>Ask every address of the line and add the drives that answer</source>
        <translation>询问线路上的每个地址，并添加应答的变频器</translation>
    </message>
    <message>
        <source>&amp;Commission...</source>
        <translation>调试(&amp;C)...</translation>
    </message>
    <message>
        <source>Back up, clone, test-run and report the chosen drives in one go</source>
        <translation>一次完成所选变频器的备份、复制、试运行和报告</translation>
    </message>
    <message>
        <source>Drives</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Readiness</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Last test run</source>
        <translation>最近试运行</translation>
    </message>
    <message>
        <source>Last recording</source>
        <translation>最近记录</translation>
    </message>
    <message>
        <source>Last report</source>
        <translation>最近报告</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>注意</translation>
    </message>
    <message>
        <source>Drive &amp;Parameters...</source>
        <translation>变频器参数(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Test Run...</source>
        <translation>试运行(&amp;T)...</translation>
    </message>
    <message>
        <source>Re&amp;corder...</source>
        <translation>数据记录(&amp;C)...</translation>
    </message>
    <message>
        <source>R&amp;eport...</source>
        <translation>报告(&amp;E)...</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Open on the chosen drives:</source>
        <translation>对所选变频器打开：</translation>
    </message>
    <message>
        <source>customer %1</source>
        <translation>客户 %1</translation>
    </message>
    <message>
        <source>technician %1</source>
        <translation>技术员 %1</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>Site — %1</source>
        <translation>现场 — %1</translation>
    </message>
    <message>
        <source>No site is open: make a new one or open one.</source>
        <translation>未打开现场：请新建或打开一个。</translation>
    </message>
    <message>
        <source>No site could be opened in %1: %2</source>
        <translation>无法在 %1 中打开现场：%2</translation>
    </message>
    <message>
        <source>Opened %1.</source>
        <translation>已打开 %1。</translation>
    </message>
    <message>
        <source>Name the folder of the new site.</source>
        <translation>请指定新现场的文件夹。</translation>
    </message>
    <message>
        <source>No site was made in %1: %2</source>
        <translation>未能在 %1 中创建现场：%2</translation>
    </message>
    <message>
        <source>Made the site in %1. Scan fills in its drives.</source>
        <translation>已在 %1 中创建现场。扫描可填入其变频器。</translation>
    </message>
    <message>
        <source>The drives chosen are on more than one line: choose drives of one line.</source>
        <translation>所选变频器位于多条线路上：请选择同一线路的变频器。</translation>
    </message>
    <message>
        <source>The site has no drives yet: Scan finds them on the line.</source>
        <translation>现场中尚无变频器：扫描可在线路上找到它们。</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>not ready</source>
        <translation>未就绪</translation>
    </message>
    <message>
        <source>parameters differ</source>
        <translation>参数不同</translation>
    </message>
    <message>
        <source>test run failed</source>
        <translation>试运行未通过</translation>
    </message>
    <message>
        <source>see the row</source>
        <translation>见该行</translation>
    </message>
    <message>
        <source>Double-click to name the drive</source>
        <translation>双击为变频器命名</translation>
    </message>
    <message>
        <source>The name of drive %1 could not be kept in %2: %3</source>
        <translation>变频器 %1 的名称无法保存在 %2 中：%3</translation>
    </message>
    <message>
        <source>Drive %1 of line %2 has no name now.</source>
        <translation>线路 %2 的变频器 %1 现在没有名称。</translation>
    </message>
    <message>
        <source>Drive %1 of line %2 is &quot;%3&quot; now.</source>
        <translation>线路 %2 的变频器 %1 现在名为“%3”。</translation>
    </message>
    <message>
        <source>Open the port in the main window first (the site&apos;s line %1 is on %2).</source>
        <translation>请先在主窗口中打开端口（现场线路 %1 位于 %2）。</translation>
    </message>
    <message>
        <source>Scanning line %1 on %2 ...</source>
        <translation>正在扫描 %2 上的线路 %1 ...</translation>
    </message>
    <message>
        <source>(the site names %1 for this line)</source>
        <translation>（现场为此线路指定了 %1）</translation>
    </message>
    <message>
        <source>The scan was cancelled; the site is as it was.</source>
        <translation>扫描已取消；现场保持不变。</translation>
    </message>
    <message>
        <source>The drives found could not be added to the site file: %1</source>
        <translation>找到的变频器无法添加到现场文件：%1</translation>
    </message>
    <message>
        <source>No drive answered on line %1.</source>
        <translation>线路 %1 上没有变频器应答。</translation>
    </message>
    <message>
        <source>Line %1: drives %2 answered; all were in the site already.</source>
        <translation>线路 %1：变频器 %2 应答；全部已在现场中。</translation>
    </message>
    <message>
        <source>Line %1: drives %2 answered; %3 added to the site.</source>
        <translation>线路 %1：变频器 %2 应答；%3 已添加到现场。</translation>
    </message>
</context>
<context>
    <name>StatusPanels</name>
    <message>
        <source>Caps Lock</source>
        <translation>大写锁定</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>数字锁定</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>插入</translation>
    </message>
    <message>
        <source>Scroll Lock</source>
        <translation>滚动锁定</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>TestRunWindow</name>
    <message>
        <source>Test Run</source>
        <translation>试运行</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Then the same in &amp;reverse</source>
        <translation>然后反转同样运行(&amp;R)</translation>
    </message>
    <message>
        <source>for example current&lt;4.5, dc-bus&gt;500</source>
        <translation>例如 current&lt;4.5, dc-bus&gt;500</translation>
    </message>
    <message>
        <source>&amp;Drive:</source>
        <translation>变频器(&amp;D)：</translation>
    </message>
    <message>
        <source>&amp;Frequency:</source>
        <translation>频率(&amp;F)：</translation>
    </message>
    <message>
        <source>&amp;Hold each way:</source>
        <translation>每个方向保持(&amp;H)：</translation>
    </message>
    <message>
        <source>Expected &amp;limits:</source>
        <translation>预期限值(&amp;L)：</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>开始(&amp;S)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>S&amp;ave Result...</source>
        <translation>保存结果(&amp;A)...</translation>
    </message>
    <message>
        <source>Choose the drive and the frequency, then Start.</source>
        <translation>请选择变频器和频率，然后开始。</translation>
    </message>
    <message>
        <source>chart</source>
        <translation>曲线图</translation>
    </message>
    <message>
        <source>The run&apos;s output frequency, set frequency and current are drawn here as they are read.</source>
        <translation>运行时读取的输出频率、设定频率和电流将在此绘出。</translation>
    </message>
    <message>
        <source>checks</source>
        <translation>检查项</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>检查项</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>测量值</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>预期值</translation>
    </message>
    <message>
        <source>Drive %1 will run forward%2 to %3 Hz and hold it %4 s. Go ahead?</source>
        <translation>变频器 %1 将正转%2至 %3 Hz 并保持 %4 s。是否继续？</translation>
    </message>
    <message>
        <source> and then in reverse</source>
        <translation>，然后反转</translation>
    </message>
    <message>
        <source>%1 — ended: %2.</source>
        <translation>%1 — 已结束：%2。</translation>
    </message>
    <message>
        <source>Not reached: %1.</source>
        <translation>未达到：%1。</translation>
    </message>
    <message>
        <source>The test run could not be saved into the site: %1</source>
        <translation>试运行结果无法保存到现场：%1</translation>
    </message>
    <message>
        <source>Save Test Run</source>
        <translation>保存试运行</translation>
    </message>
    <message>
        <source>Test runs (*.json)</source>
        <translation>试运行结果 (*.json)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
</context>
<context>
    <name>config</name>
    <message>
        <source>Error Waining!</source>
        <translation>错误警告！</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无校验</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>空格校验</translation>
    </message>
    <message>
        <source>Gateway in Modbus TCP mode (unit id = drive address)</source>
        <translation>Modbus TCP 模式的网关（单元标识 = 变频器地址）</translation>
    </message>
    <message>
        <source>Gateway in transparent mode (RTU frames over TCP)</source>
        <translation>透传模式的网关（RTU 帧经 TCP 传输）</translation>
    </message>
    <message>
        <source>SERIAL PORT SETTING</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Serial Port Setting</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Pick a port or type a device path such as /dev/ttyUSB0; SIM runs simulated drives; tcp://HOST:PORT reaches drives behind a serial-to-Ethernet gateway in transparent mode (RTU frames over TCP), mbtcp://HOST:PORT one in Modbus TCP mode.</source>
        <translation>选择一个端口，或输入设备路径，例如 /dev/ttyUSB0；SIM 运行模拟变频器；tcp://HOST:PORT 经透传模式（RTU 帧经 TCP 传输）的串口转以太网网关访问变频器，mbtcp://HOST:PORT 经 Modbus TCP 模式的网关访问。</translation>
    </message>
    <message>
        <source>Port Number</source>
        <translation>串口号</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Data Bit</source>
        <translation>数据位</translation>
    </message>
    <message>
        <source>Party Bit</source>
        <translation>校验位</translation>
    </message>
    <message>
        <source>Stop Bit</source>
        <translation>停止位</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>No port is named. Pick one from the list or type a device path.</source>
        <translation>未指定端口。请从列表中选择，或输入设备路径。</translation>
    </message>
    <message>
        <source>The baud rate &quot;%1&quot; is not one a serial port can use.</source>
        <translation>波特率“%1”不是串口可用的波特率。</translation>
    </message>
    <message>
        <source>The parity &quot;%1&quot; is unknown; use Odd, Even, None or Space.</source>
        <translation>未知的校验方式“%1”；请使用奇校验、偶校验、无校验或空格校验。</translation>
    </message>
    <message>
        <source>The serial port cannot send %1 data bits; it takes 5 to 8.</source>
        <translation>串口无法发送 %1 位数据位；只能为 5 到 8 位。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; stop bits are not possible; use 1, 1.5 or 2.</source>
        <translation>停止位“%1”不可用；请使用 1、1.5 或 2。</translation>
    </message>
    <message>
        <source>Serial ports on this system cannot use 1.5 stop bits; use 1 or 2.</source>
        <translation>本系统的串口不能使用 1.5 位停止位；请使用 1 或 2。</translation>
    </message>
    <message>
        <source> The settings were left as they were.</source>
        <translation>设置保持不变。</translation>
    </message>
    <message>
        <source>The port refuses the settings %1.</source>
        <translation>端口拒绝设置 %1。</translation>
    </message>
</context>
<context>
    <name>demo</name>
    <message>
        <source>Change Skin</source>
        <translation>更换皮肤</translation>
    </message>
    <message>
        <source>Save_File</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Save Watching Para</source>
        <translation>保存监控参数</translation>
    </message>
    <message>
        <source>Open Watching Para</source>
        <translation>打开监控参数</translation>
    </message>
    <message>
        <source>EXIT</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Serail Port Set</source>
        <translation>串口设置(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Parameter Set</source>
        <translation>参数设置(&amp;P)</translation>
    </message>
    <message>
        <source>Pass&amp;word</source>
        <translation>密码(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Change Skin</source>
        <translation>更换皮肤(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>工具(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Drive Parameters...</source>
        <translation>变频器参数(&amp;D)...</translation>
    </message>
    <message>
        <source>&amp;Recorder...</source>
        <translation>数据记录(&amp;R)...</translation>
    </message>
    <message>
        <source>S&amp;ite...</source>
        <translation>现场(&amp;I)...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;User Guide</source>
        <translation>用户指南(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>The 1th Error Code</source>
        <translation>第 1 次故障代码</translation>
    </message>
    <message>
        <source>The 2th Error Code</source>
        <translation>第 2 次故障代码</translation>
    </message>
    <message>
        <source>The 3th Error Code</source>
        <translation>第 3 次故障代码</translation>
    </message>
    <message>
        <source>Frq Output at The Last Error(HZ)</source>
        <translation>最近故障时输出频率(HZ)</translation>
    </message>
    <message>
        <source>Frq Set at The Last Error(HZ)</source>
        <translation>最近故障时设定频率(HZ)</translation>
    </message>
    <message>
        <source>Current Output at The Last Error(A)</source>
        <translation>最近故障时输出电流(A)</translation>
    </message>
    <message>
        <source>Voltage Output at The Last Error(V)</source>
        <translation>最近故障时输出电压(V)</translation>
    </message>
    <message>
        <source>DC Power at The Last Error(V)</source>
        <translation>最近故障时直流母线电压(V)</translation>
    </message>
    <message>
        <source>IGBT Temp at The Last Error(℃)</source>
        <translation>最近故障时 IGBT 温度(°C)</translation>
    </message>
    <message>
        <source>Traffic of %1 on %2 since the port was opened, saved %3</source>
        <translation>%1 在 %2 上自打开端口以来的通讯记录，保存于 %3</translation>
    </message>
    <message>
        <source>local time, direction, frame bytes in hexadecimal</source>
        <translation>本地时间、方向、帧字节（十六进制）</translation>
    </message>
    <message>
        <source>Error Warning</source>
        <translation>错误警告</translation>
    </message>
    <message>
        <source>The traffic log could not be saved to %1: %2</source>
        <translation>通讯记录无法保存到 %1：%2</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>JOG time relate to communication overrun time ，shutdown communication ?</source>
        <translation>点动时间与通讯超时时间有关，是否关闭通讯？</translation>
    </message>
    <message>
        <source>STOP sent to every drive on the line</source>
        <translation>已向线路上所有变频器发送停机命令</translation>
    </message>
    <message>
        <source>Run command not sent: no drive is addressed. Tick &quot;Single Machine&quot; and choose a drive, or start polling first.</source>
        <translation>运行命令未发送：没有指定变频器。请勾选“单机”并选择一台变频器，或先开始轮询。</translation>
    </message>
    <message>
        <source>Follow the System</source>
        <translation>跟随系统</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>The language changes when vfdtool is started next.</source>
        <translation>语言将在下次启动 vfdtool 时更改。</translation>
    </message>
    <message>
        <source>Inverter Number</source>
        <translation>变频器站号</translation>
    </message>
    <message>
        <source>Single Machine</source>
        <translation>单机</translation>
    </message>
    <message>
        <source>Address of the single drive</source>
        <translation>单台变频器的地址</translation>
    </message>
    <message>
        <source>First</source>
        <translation>起始</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Open Serial</source>
        <translation>打开串口</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Receive</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Work Status</source>
        <translation>运行控制</translation>
    </message>
    <message>
        <source>FWD</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>JOG-F</source>
        <translation>正转点动</translation>
    </message>
    <message>
        <source>JOG-R</source>
        <translation>反转点动</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>FWD-S</source>
        <translation>连续正转</translation>
    </message>
    <message>
        <source>REV-S</source>
        <translation>连续反转</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>无</translation>
    </message>
    <message>
        <source>(HZ)</source>
        <translation>(HZ)</translation>
    </message>
    <message>
        <source>Control rhythm(ms)</source>
        <translation>控制周期(ms)</translation>
    </message>
    <message>
        <source>Communication rhythm(ms)</source>
        <translation>通讯周期(ms)</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Machine State</source>
        <translation>机器状态</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Running direction</source>
        <translation>运行方向</translation>
    </message>
    <message>
        <source>Cord</source>
        <translation>代码</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>The  th Inverter Monitor Parameter</source>
        <translation>第  台变频器监控参数</translation>
    </message>
    <message>
        <source>The</source>
        <translation>第</translation>
    </message>
    <message>
        <source>th Inverter Monitor Parameter</source>
        <translation>台变频器监控参数</translation>
    </message>
    <message>
        <source>Frq Output(Hz)</source>
        <translation>输出频率(Hz)</translation>
    </message>
    <message>
        <source>Frq Set(Hz)</source>
        <translation>设定频率(Hz)</translation>
    </message>
    <message>
        <source>Current Output(A)</source>
        <translation>输出电流(A)</translation>
    </message>
    <message>
        <source>Voltage Output(V)</source>
        <translation>输出电压(V)</translation>
    </message>
    <message>
        <source>Speed(RPM/min)</source>
        <translation>转速(RPM/min)</translation>
    </message>
    <message>
        <source>Run Speed(m/s)</source>
        <translation>运行线速度(m/s)</translation>
    </message>
    <message>
        <source>Speed Set(m/s)</source>
        <translation>设定线速度(m/s)</translation>
    </message>
    <message>
        <source>DC Power(V)</source>
        <translation>直流母线电压(V)</translation>
    </message>
    <message>
        <source>Input Votage(V)</source>
        <translation>输入电压(V)</translation>
    </message>
    <message>
        <source>PID Set</source>
        <translation>PID 设定</translation>
    </message>
    <message>
        <source>PID Feedback</source>
        <translation>PID 反馈</translation>
    </message>
    <message>
        <source>AVI(V)</source>
        <translation>AVI 输入(V)</translation>
    </message>
    <message>
        <source>ACI(A)</source>
        <translation>ACI 输入(A)</translation>
    </message>
    <message>
        <source>Pulse Input(KHz)</source>
        <translation>脉冲输入(KHz)</translation>
    </message>
    <message>
        <source>Terminal Input</source>
        <translation>输入端子状态</translation>
    </message>
    <message>
        <source>Radiator Temp(℃)</source>
        <translation>散热器温度(°C)</translation>
    </message>
    <message>
        <source>Module Temp(℃)</source>
        <translation>模块温度(°C)</translation>
    </message>
    <message>
        <source>Count Number</source>
        <translation>计数值</translation>
    </message>
    <message>
        <source>Count Number Set</source>
        <translation>计数设定值</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Error Code</source>
        <translation>故障代码</translation>
    </message>
    <message>
        <source>Error Output</source>
        <translation>故障时输出</translation>
    </message>
    <message>
        <source>Drive %1: no answer since %2</source>
        <translation>变频器 %1：自 %2 起无应答</translation>
    </message>
    <message>
        <source>not sent yet: press Enter</source>
        <translation>尚未发送：请按回车键</translation>
    </message>
    <message>
        <source>Communication timt limited at 200ms</source>
        <translation>通讯周期最小为 200ms</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>To clear the fault: remove its cause, press STOP, then give a run command.</source>
        <translation>清除故障：排除故障原因，按“停机”，再给出运行命令。</translation>
    </message>
    <message>
        <source>Drive %1 has tripped. %2</source>
        <translation>变频器 %1 已故障跳闸。%2</translation>
    </message>
    <message>
        <source>Close Serial</source>
        <translation>关闭串口</translation>
    </message>
    <message>
        <source>Error Waining!</source>
        <translation>错误警告！</translation>
    </message>
    <message>
        <source>Invalid Port Number，Change Other!</source>
        <translation>串口号无效，请更换其他串口！</translation>
    </message>
    <message>
        <source>This Port Already Open，Change Other!</source>
        <translation>该串口已被打开，请更换其他串口！</translation>
    </message>
    <message>
        <source>Equipment Don&apos;t Open!</source>
        <translation>设备无法打开！</translation>
    </message>
    <message>
        <source>You may not use the port %1. Ask the administrator of this computer for access to it.</source>
        <translation>您无权使用端口 %1。请向本机管理员申请访问权限。</translation>
    </message>
    <message>
        <source>The port %1 does not accept the settings %2: %3</source>
        <translation>端口 %1 不接受设置 %2：%3</translation>
    </message>
    <message>
        <source>The port %1 could not be opened: %2</source>
        <translation>无法打开端口 %1：%2</translation>
    </message>
    <message>
        <source>The connection to %1 has ended. The port is closed now; open it again once the gateway can be reached.</source>
        <translation>与 %1 的连接已断开。端口现已关闭；网关可以访问后请重新打开。</translation>
    </message>
    <message>
        <source>The port %1 has gone away (device unplugged?). It is closed now; open it again once the device is back.</source>
        <translation>端口 %1 已消失（设备被拔出？）。端口现已关闭；设备恢复后请重新打开。</translation>
    </message>
    <message>
        <source>%1 lost: %2</source>
        <translation>%1 丢失：%2</translation>
    </message>
    <message>
        <source>The site&apos;s line %1: port %2, %3.</source>
        <translation>现场线路 %1：端口 %2，%3。</translation>
    </message>
    <message>
        <source>The site&apos;s line %1 is on port %2; %3 is open now.</source>
        <translation>现场线路 %1 位于端口 %2；当前打开的是 %3。</translation>
    </message>
    <message>
        <source>The site&apos;s journal could not be written: %1</source>
        <translation>无法写入现场日志：%1</translation>
    </message>
    <message>
        <source>&amp;Scan Line...</source>
        <translation>扫描线路(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Line Statistics...</source>
        <translation>线路统计(&amp;L)...</translation>
    </message>
    <message>
        <source>&amp;Test Run...</source>
        <translation>试运行(&amp;T)...</translation>
    </message>
    <message>
        <source>&amp;Commissioning Report...</source>
        <translation>调试报告(&amp;C)...</translation>
    </message>
    <message>
        <source>drive %1 not answering</source>
        <translation>变频器 %1 无应答</translation>
    </message>
    <message>
        <source>La&amp;nguage</source>
        <translation>语言(&amp;N)</translation>
    </message>
    <message>
        <source>The site has no line %1.</source>
        <translation>现场没有线路 %1。</translation>
    </message>
    <message>
        <source>Open the port of line %1 (%2) first.</source>
        <translation>请先打开线路 %1 的端口（%2）。</translation>
    </message>
    <message>
        <source>Line %1 is on port %2, but %3 is open.</source>
        <translation>线路 %1 在端口 %2 上，但当前打开的是 %3。</translation>
    </message>
</context>
<context>
    <name>encoder</name>
    <message>
        <source>Message!</source>
        <translation>提示！</translation>
    </message>
    <message>
        <source>Please enter 3 to 8 numbers.</source>
        <translation>请输入 3 到 8 位数字。</translation>
    </message>
    <message>
        <source>Password </source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Odd Password</source>
        <translation>原密码</translation>
    </message>
    <message>
        <source>Enter the Password </source>
        <translation>输入密码</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>New Password</source>
        <translation>新密码</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>You didn&apos;t enter the new password,yet.</source>
        <translation>您还没有输入新密码。</translation>
    </message>
    <message>
        <source>Erorr Warning!</source>
        <translation>错误警告！</translation>
    </message>
    <message>
        <source>Enter number,please!</source>
        <translation>请输入数字！</translation>
    </message>
    <message>
        <source>Error Warning</source>
        <translation>错误警告</translation>
    </message>
    <message>
        <source>Please enter number!</source>
        <translation>请输入数字！</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>警告！</translation>
    </message>
    <message>
        <source>Please verify the password before change it!</source>
        <translation>更改密码前请先验证密码！</translation>
    </message>
    <message>
        <source>Successful,you can modify the parameter now!</source>
        <translation>验证成功，现在可以修改参数了！</translation>
    </message>
    <message>
        <source>Password error,please try again.</source>
        <translation>密码错误，请重试。</translation>
    </message>
    <message>
        <source>Password had been changed, please keep it youself!</source>
        <translation>密码已更改，请妥善保管！</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>SOFEWARE INFOMATION</source>
        <translation>软件信息</translation>
    </message>
    <message>
        <source>vfdtool — drive commissioning over RS-485</source>
        <translation>vfdtool — 经 RS-485 调试变频器</translation>
    </message>
    <message>
        <source>Edition 1.00</source>
        <translation>版本 1.00</translation>
    </message>
    <message>
        <source>vfdtool runs, watches and sets up frequency inverters over an RS-485 line; choose &quot;User Guide&quot; in the Help menu to learn how.</source>
        <translation>vfdtool 经 RS-485 线路运行、监视和设置变频器；使用方法请选择“帮助”菜单中的“用户指南”。</translation>
    </message>
    <message>
        <source>Questions and reports: the service desk of your drive supplier, quoting the edition above.</source>
        <translation>问题和报告：请联系变频器供应商的服务台，并注明上面的版本。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>SYSTEM INFO(&amp;S)</source>
        <translation>系统信息(&amp;S)</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <source>Operating instruction:<byte value="xd"/>
  1.Before opening the software ,please confirm serial port configuration match,<byte value="xd"/>
    related serial port free;Make Communication setting in keyboard(refer to the<byte value="xd"/>
    parameter P0.01,P0.04,P8).<byte value="xd"/>
  2.Afterthe software opened,the items &quot;control&quot; ,&quot;monitored frequency inverter<byte value="xd"/>
    address&quot; and &quot;parameter setting&quot; are invalid,Now need to configurate the serial<byte value="xd"/>
    ports;When the serial ports configuration is right,press&quot;open serial&quot;,&quot;control&quot;,<byte value="xd"/>
    &quot;monitored frequency inverter address&quot;and&quot;parameter set&quot;are valid,otherwise,<byte value="xd"/>
    &quot;invalid series ports&quot;will be displayed.After opening serial port,press&quot;start&quot;,<byte value="xd"/>
    &quot;error code&quot;and&quot;monitoring parameter&quot;will be read by the inverter.<byte value="xd"/>
     a.In the&quot;control&quot; items,you can set &quot;foreward&quot;,&quot;reversal&quot; and &quot;jog&quot;etc.<byte value="xd"/>
     b.In the &quot;monitoring machines&quot;items,you can set mornitoring single,or mornitor<byte value="xd"/>
       -ing many(most 31 sets),set by &quot;START&quot;and &quot;END&quot;and datum gained in polling<byte value="xd"/>
       mode.<byte value="xd"/>
     c.In the &quot;parameter set&quot; of the menu,can set the parameter(respond to the<byte value="xd"/>
       manual),the datum are updating in real-time.<byte value="xd"/>
  3.In the &quot;machine state&quot;, the error code and machine running state can be checked.<byte value="xd"/>
<byte value="xd"/>
Announcements:<byte value="xd"/>
  a.In error state ,frequency inverter and motor stop working ,any tries to use<byte value="xd"/>
    the frequency is invalid.<byte value="xd"/>
  b.In error state,the &quot;error code&quot; will show &quot;xxx error&quot;;now only need to press <byte value="xd"/>
    &quot;RESET&quot;,everything will be reseted or the &quot;error code&quot; will be &quot;normal&quot;,now<byte value="xd"/>
     normal operate.<byte value="xd"/>
  c.Make sure the related communication setting is right.It is the basic of normal<byte value="xd"/>
    communication.(please check this &quot;operating instruction&quot;(1))<byte value="xd"/>
  d.jog running is special,please operate according to the rules.&quot;jog running time<byte value="xd"/>
    has relation with communication timeout,so communication must be closed when<byte value="xd"/>
    use jog running.)<byte value="xd"/>
  e.Foreward and reversal are both directive running constantly ,pressing &quot;NONE&quot;<byte value="xd"/>
    to stop sending;In one &quot;communication timeout time&quot;(P8.02),frequency inverter<byte value="xd"/>
    will stop,&quot;continuous running&quot;send only one directive,then pressing&quot; STOP&quot; to <byte value="xd"/>
    stop running.</source>
        <translation>操作说明：<byte value="xd"/>
  1.打开软件之前，请确认串口配置匹配、相关串口空闲；在键盘上进行通讯设置<byte value="xd"/>
    （参见参数 P0.01、P0.04、P8）。<byte value="xd"/>
  2.软件打开后，“控制”、“监控变频器地址”和“参数设置”各项无效，此时需要<byte value="xd"/>
    配置串口；串口配置正确后，按“打开串口”，“控制”、“监控变频器地址”和<byte value="xd"/>
    “参数设置”即变为有效，否则显示“无效串口”。打开串口后按“开始”，即从<byte value="xd"/>
    变频器读取“故障代码”和“监控参数”。<byte value="xd"/>
     a.在“控制”项中，可以设置“正转”、“反转”和“点动”等。<byte value="xd"/>
     b.在“监控机器”项中，可以设置监控单台或多台（最多 31 台），由“起始”<byte value="xd"/>
       和“结束”设定，数据以轮询方式获取。<byte value="xd"/>
     c.在菜单的“参数设置”中可以设置参数（与说明书对应），数据实时更新。<byte value="xd"/>
  3.在“机器状态”中可以查看故障代码和机器运行状态。<byte value="xd"/>
<byte value="xd"/>
注意事项：<byte value="xd"/>
  a.故障状态下，变频器和电机停止工作，任何使用频率的尝试均无效。<byte value="xd"/>
  b.故障状态下，“故障代码”显示“xxx 故障”；此时只需按“复位”，一切即被复位，<byte value="xd"/>
    或“故障代码”变为“正常”，此时即可正常操作。<byte value="xd"/>
  c.确保相关通讯设置正确，这是正常通讯的基础。（请查看本“操作说明”(1)）<byte value="xd"/>
  d.点动运行较特殊，请按规定操作。（点动运行时间与通讯超时有关，因此使用点动<byte value="xd"/>
    运行时必须关闭通讯。）<byte value="xd"/>
  e.正转和反转都是持续发送运行指令，按“无”停止发送；在一个“通讯超时时间”<byte value="xd"/>
    (P8.02) 内变频器将停机；“连续运行”只发送一条指令，之后按“停机”停止运行。</translation>
    </message>
    <message>
        <source>USER GUIDE</source>
        <translation>用户指南</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>vfdtool
Drive commissioning over RS-485</source>
        <translation>vfdtool
经 RS-485 调试变频器</translation>
    </message>
    <message>
        <source>Edition    1.00</source>
        <translation>版本    1.00</translation>
    </message>
    <message>
        <source>Used in Upper WINDOWS 95 Platform</source>
        <translation>适用于 WINDOWS 95 以上平台</translation>
    </message>
    <message>
        <source>This program keeps the port, its line settings, the gateways used, both rhythms, the drive choice, the skin colour and the window&apos;s place in %1 (vfdtool --reset-settings starts afresh). The password lasts only until the program is closed.</source>
        <translation>本程序将端口、线路设置、用过的网关、两个周期、变频器选择、皮肤颜色和窗口位置保存在 %1 中（vfdtool --reset-settings 可恢复初始状态）。密码仅在程序关闭前有效。</translation>
    </message>
    <message>
        <source>Keep clear of the motor and its load whenever a drive is commanded from this program.</source>
        <translation>从本程序控制变频器时，请远离电机及其负载。</translation>
    </message>
</context>
<context>
    <name>vfdtool</name>
    <message>
        <source>Show this help and quit.</source>
        <translation>显示本帮助并退出。</translation>
    </message>
    <message>
        <source>Show the version and quit.</source>
        <translation>显示版本并退出。</translation>
    </message>
    <message>
        <source>Preselect the serial port NAME instead of the remembered one (COM1 on the first run): COM1..COM16, a device path such as /dev/ttyUSB0, SIM for simulated drives 1 to 3, tcp://HOST:PORT for drives behind a serial-to-Ethernet gateway in transparent mode, or mbtcp://HOST:PORT for one in Modbus TCP mode.</source>
        <translation>预先选择串口 NAME，代替上次记住的端口（首次运行时为 COM1）：COM1..COM16、设备路径（如 /dev/ttyUSB0）、SIM（模拟变频器 1 至 3）、tcp://HOST:PORT（透明模式的串口转以太网网关后的变频器），或 mbtcp://HOST:PORT（Modbus TCP 模式的网关）。</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>Open the port as soon as the main window shows and start polling, as &quot;Open Serial&quot; and then &quot;Start&quot; do (try: --port SIM --open).</source>
        <translation>主窗口显示后立即打开端口并开始轮询，与先点“Open Serial”再点“Start”相同（可试：--port SIM --open）。</translation>
    </message>
    <message>
        <source>Start without the welcome window.</source>
        <translation>启动时不显示欢迎窗口。</translation>
    </message>
    <message>
        <source>Forget every kept setting and start as on the first run.</source>
        <translation>清除所有保存的设置，按首次运行启动。</translation>
    </message>
    <message>
        <source>Commissions, drives and watches frequency inverters over an RS-485 line (Modbus RTU master, drives 1..31).
The port is opened in the program with &quot;Open Serial&quot; (or at start with --open). The port, its line settings, the rhythms, the drive choice, the skin colour and the window&apos;s place are kept between runs in %1.</source>
        <translation>通过 RS-485 线路调试、控制和监视变频器（Modbus RTU 主站，变频器地址 1..31）。
端口在程序中用“Open Serial”打开（或启动时用 --open）。端口及其通讯设置、轮询周期、所选变频器、界面颜色和窗口位置保存在 %1 中，下次运行时沿用。</translation>
    </message>
    <message>
        <source>Try vfdtool --help.</source>
        <translation>请尝试 vfdtool --help。</translation>
    </message>
    <message>
        <source>--port needs a port name.</source>
        <translation>--port 需要端口名称。</translation>
    </message>
</context>
</TS>
