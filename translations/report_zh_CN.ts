<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Report</name>
    <message>
        <source>FWD</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>Time (s)</source>
        <translation>时间 (s)</translation>
    </message>
    <message>
        <source>Frequency (Hz)</source>
        <translation>频率 (Hz)</translation>
    </message>
    <message>
        <source>Current (A)</source>
        <translation>电流 (A)</translation>
    </message>
    <message>
        <source>limit %1%2</source>
        <translation>限值 %1%2</translation>
    </message>
    <message>
        <source>Set frequency (Hz)</source>
        <translation>设定频率 (Hz)</translation>
    </message>
    <message>
        <source>Output frequency (Hz)</source>
        <translation>输出频率 (Hz)</translation>
    </message>
    <message>
        <source>PASSED</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>NOT COMPLETED</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>FAILED: %1</source>
        <translation>不合格：%1</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>&lt;b&gt;Readiness&lt;/b&gt;: run commands from P0.04 = %1, frequency from P0.01 = %2: %3</source>
        <translation>&lt;b&gt;就绪状态&lt;/b&gt;：运行命令来源 P0.04 = %1，频率来源 P0.01 = %2：%3</translation>
    </message>
    <message>
        <source>not known (not answered).</source>
        <translation>未知（无应答）。</translation>
    </message>
    <message>
        <source>the drive obeys the line.</source>
        <translation>变频器受通讯控制。</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
    <message>
        <source>; </source>
        <translation>；</translation>
    </message>
    <message>
        <source>&lt;b&gt;Line settings&lt;/b&gt;: %1%2.</source>
        <translation>&lt;b&gt;通讯设置&lt;/b&gt;：%1%2。</translation>
    </message>
    <message>
        <source>port %1 at %2; </source>
        <translation>端口 %1，%2；</translation>
    </message>
    <message>
        <source>Test run</source>
        <translation>试运行</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1 forward%2, held %3 s%4; started %5. Ended: %6.&lt;br&gt;&lt;b&gt;Result: %7&lt;/b&gt;&lt;/p&gt;
</source>
        <translation>&lt;p&gt;%1 正转%2，保持 %3 s%4；开始于 %5。结束：%6。&lt;br&gt;&lt;b&gt;结果：%7&lt;/b&gt;&lt;/p&gt;
</translation>
    </message>
    <message>
        <source> then reverse</source>
        <translation>，再反转</translation>
    </message>
    <message>
        <source> each way</source>
        <translation>（每个方向）</translation>
    </message>
    <message>
        <source>&lt;p&gt;Limits the chart does not draw, checked in the table: %1.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;曲线图中未画出、已在下表中检查的限值：%1。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>&lt;p&gt;The run ended before these checks: %1.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;以下检查项目尚未进行，运行已结束：%1。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Test run chart</source>
        <translation>试运行曲线</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>检查项目</translation>
    </message>
    <message>
        <source>Expected</source>
        <translation>要求</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>实测</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
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
        <source>DC bus voltage</source>
        <translation>母线电压</translation>
    </message>
    <message>
        <source>Module temperature</source>
        <translation>模块温度</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Fault records&lt;/b&gt;: no fault recorded.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;&lt;b&gt;故障记录&lt;/b&gt;：无故障记录。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Fault records</source>
        <translation>故障记录</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>&lt;p&gt;Latest first: %1.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;最近一次在前：%1。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Values at the last fault&lt;/b&gt;: %1.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;&lt;b&gt;最后一次故障时的运行数据&lt;/b&gt;：%1。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Drive %1&lt;/h2&gt;
</source>
        <translation>&lt;h2&gt;变频器 %1&lt;/h2&gt;
</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Drive %1 did not answer&lt;/b&gt; on %2 at %3: nothing could be read from it.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;&lt;b&gt;变频器 %1 无应答&lt;/b&gt;（端口 %2，%3）：未能读取任何数据。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;p&gt;Address %1, software edition %2, state %3%4. %5&lt;br&gt;%6&lt;/p&gt;
</source>
        <translation>&lt;p&gt;地址 %1，软件版本 %2，状态：%3%4。%5&lt;br&gt;%6&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>, fault %1</source>
        <translation>，故障 %1</translation>
    </message>
    <message>
        <source>&lt;p&gt;No test run of this drive is part of this report.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;本报告不含该变频器的试运行。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>%1: %2 (expected %3)</source>
        <translation>%1：%2（要求 %3）</translation>
    </message>
    <message>
        <source>the run ended early: %1</source>
        <translation>运行提前结束：%1</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>调试报告</translation>
    </message>
    <message>
        <source>Drive %1, continued</source>
        <translation>变频器 %1（续）</translation>
    </message>
    <message>
        <source>Drive %1, parameter set, continued</source>
        <translation>变频器 %1 参数表（续）</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>vfdtool %1 · %2 · page %3 of %4</source>
        <translation>vfdtool %1 · %2 · 第 %3 页，共 %4 页</translation>
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
        <source>Value</source>
        <translation>当前值</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>未设置</translation>
    </message>
    <message>
        <source>Differences from the reference set</source>
        <translation>与参考参数组的差异</translation>
    </message>
    <message>
        <source>&lt;p&gt;The drive matches its reference set%1%2.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;变频器与参考参数组一致%1%2。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation>（%1）</translation>
    </message>
    <message>
        <source> in every parameter it answered</source>
        <translation>（限已应答的参数）</translation>
    </message>
    <message>
        <source>&lt;p&gt;Reference: %1.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;参考参数组：%1。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Reference</source>
        <translation>参考值</translation>
    </message>
    <message>
        <source>Differences from the catalogue&apos;s defaults</source>
        <translation>与出厂值的差异</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;%1 not answered&lt;/b&gt;: not compared with the catalogue&apos;s defaults.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;&lt;b&gt;%1未应答&lt;/b&gt;：未与出厂值比较。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>1 parameter</source>
        <translation>1 个参数</translation>
    </message>
    <message>
        <source>%1 parameters</source>
        <translation>%1 个参数</translation>
    </message>
    <message>
        <source>&lt;p&gt;No differences: every parameter read is at the catalogue&apos;s default.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;无差异：所读参数均为出厂值。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;p&gt;Those that answered are at the catalogue&apos;s defaults.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;已应答的参数均为出厂值。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>出厂值</translation>
    </message>
    <message>
        <source>Set on site</source>
        <translation>现场设定</translation>
    </message>
    <message>
        <source>Their defaults depend on the drive&apos;s model; the drive holds: %1.</source>
        <translation>以下参数的出厂值随机型而定，变频器当前值为：%1。</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>未读取</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Writes made&lt;/b&gt;: the site&apos;s journal holds no write to this drive.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;&lt;b&gt;写入记录&lt;/b&gt;：现场日志中没有对该变频器的写入。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>Writes made</source>
        <translation>写入记录</translation>
    </message>
    <message>
        <source>When</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>By</source>
        <translation>操作来源</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>写入前</translation>
    </message>
    <message>
        <source>Written</source>
        <translation>写入值</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>&lt;p&gt;The parameters could not be read.&lt;/p&gt;
</source>
        <translation>&lt;p&gt;无法读取参数。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Appendix: parameter set of drive %1&lt;/h2&gt;
&lt;p&gt;Read at %2, %3 parameters (reserved ones left out).&lt;/p&gt;
</source>
        <translation>&lt;h2&gt;附录：变频器 %1 的参数表&lt;/h2&gt;
&lt;p&gt;读取于 %2，共 %3 个参数（保留参数未列出）。&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>forward</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>reverse</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>不合格</translation>
    </message>
    <message>
        <source>NOT REACHED</source>
        <translation>未进行</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>已完成</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>未达到</translation>
    </message>
    <message>
        <source>no sample</source>
        <translation>无采样</translation>
    </message>
    <message>
        <source>Frequency reached (%1)</source>
        <translation>达到频率（%1）</translation>
    </message>
    <message>
        <source>Direction (%1)</source>
        <translation>运转方向（%1）</translation>
    </message>
    <message>
        <source>Held (%1)</source>
        <translation>保持（%1）</translation>
    </message>
    <message>
        <source>No trip</source>
        <translation>无故障跳闸</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>停机</translation>
    </message>
    <message>
        <source>Readiness</source>
        <translation>就绪状态</translation>
    </message>
    <message>
        <source>Limit %1</source>
        <translation>限值 %1</translation>
    </message>
    <message>
        <source>%1 ± %2 within %3 to %4 (P0.14 = %5)</source>
        <translation>%1 ± %2，在 %3 至 %4 内达到（P0.14 = %5）</translation>
    </message>
    <message>
        <source>%1 ± %2 within %3 to %4 (P0.14 = %5, P0.15 = %6 from the forward run)</source>
        <translation>%1 ± %2，在 %3 至 %4 内达到（P0.14 = %5，P0.15 = %6，取自正转运行）</translation>
    </message>
    <message>
        <source>not run: the run had ended</source>
        <translation>未进行：运行已结束</translation>
    </message>
    <message>
        <source>not reached (highest %1)</source>
        <translation>未达到（最高 %1）</translation>
    </message>
    <message>
        <source>%1 %2 not reached, highest %3</source>
        <translation>%1 %2 未达到，最高 %3</translation>
    </message>
    <message>
        <source>%1 after %2</source>
        <translation>%2 后达到 %1</translation>
    </message>
    <message>
        <source>%1 %2 reached after %3, expected within %4 to %5</source>
        <translation>%1 %2 在 %3 后达到，要求在 %4 至 %5 内</translation>
    </message>
    <message>
        <source>the drive reports %1 at the set frequency</source>
        <translation>在设定频率下变频器报告为%1</translation>
    </message>
    <message>
        <source>%1 reported</source>
        <translation>报告为%1</translation>
    </message>
    <message>
        <source>run %1, the drive reported %2</source>
        <translation>%1运行，变频器报告为%2</translation>
    </message>
    <message>
        <source>%1 %2 not reached</source>
        <translation>%1 %2 未达到</translation>
    </message>
    <message>
        <source>%1 held for %2</source>
        <translation>%1 保持 %2</translation>
    </message>
    <message>
        <source>held %1</source>
        <translation>保持 %1</translation>
    </message>
    <message>
        <source>held %1 of %2: the run ended first</source>
        <translation>保持 %1（要求 %2）：运行已先结束</translation>
    </message>
    <message>
        <source>%1 %2 held %3 of %4</source>
        <translation>%1 %2 保持 %3（要求 %4）</translation>
    </message>
    <message>
        <source>%1 %2 not reached, so not held</source>
        <translation>%1 %2 未达到，因此未保持</translation>
    </message>
    <message>
        <source>no fault during the run</source>
        <translation>运行中无故障</translation>
    </message>
    <message>
        <source>fault %1</source>
        <translation>故障 %1</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1，于 %2</translation>
    </message>
    <message>
        <source>tripped: %1</source>
        <translation>故障跳闸：%1</translation>
    </message>
    <message>
        <source>every sample of the run</source>
        <translation>运行中的每个采样</translation>
    </message>
    <message>
        <source>every sample at the set frequency</source>
        <translation>设定频率下的每个采样</translation>
    </message>
    <message>
        <source>highest %1</source>
        <translation>最高 %1</translation>
    </message>
    <message>
        <source>lowest %1</source>
        <translation>最低 %1</translation>
    </message>
    <message>
        <source>no sample of %1 to check its limit</source>
        <translation>没有 %1 的采样，无法检查其限值</translation>
    </message>
    <message>
        <source>%1 peaked at %2, limit %3</source>
        <translation>%1 最高达 %2，限值 %3</translation>
    </message>
    <message>
        <source>%1 fell to %2, limit %3</source>
        <translation>%1 降至 %2，限值 %3</translation>
    </message>
    <message>
        <source>the drive answers STOP</source>
        <translation>变频器应答停机命令</translation>
    </message>
    <message>
        <source>STOP answered</source>
        <translation>停机命令已应答</translation>
    </message>
    <message>
        <source>STOP not answered</source>
        <translation>停机命令无应答</translation>
    </message>
    <message>
        <source>STOP answered; still coasting down, %1 at the last sample</source>
        <translation>停机命令已应答；电机仍在减速，最后一次采样为 %1</translation>
    </message>
    <message>
        <source>the drive did not answer STOP</source>
        <translation>变频器未应答停机命令</translation>
    </message>
    <message>
        <source>the drive tripped: fault %1</source>
        <translation>变频器故障跳闸：故障 %1</translation>
    </message>
    <message>
        <source>the drive stopped answering</source>
        <translation>变频器停止应答</translation>
    </message>
    <message>
        <source>the drive stopped answering its run commands</source>
        <translation>变频器不再应答运行命令</translation>
    </message>
    <message>
        <source>the run command could not be sent</source>
        <translation>运行命令无法发送</translation>
    </message>
    <message>
        <source>the drive refused the run command (exception %1)</source>
        <translation>变频器拒绝运行命令（异常码 %1）</translation>
    </message>
    <message>
        <source>the port went away</source>
        <translation>端口已断开</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>端口已关闭</translation>
    </message>
    <message>
        <source>a STOP for the drive came from elsewhere</source>
        <translation>该变频器收到来自别处的停机命令</translation>
    </message>
    <message>
        <source>the STOP could not be sent</source>
        <translation>停机命令无法发送</translation>
    </message>
    <message>
        <source>the drive did not answer the STOP that resets its fault</source>
        <translation>变频器未应答用于复位故障的停机命令</translation>
    </message>
    <message>
        <source>drive %1 does not answer: nothing was sent</source>
        <translation>变频器 %1 无应答：未发送任何命令</translation>
    </message>
    <message>
        <source>drive %1 reports fault %2 at the start: nothing was sent</source>
        <translation>变频器 %1 开始时报告故障 %2：未发送任何命令</translation>
    </message>
    <message>
        <source>drive %1 did not answer P0.04 and P0.01: nothing was sent</source>
        <translation>变频器 %1 未应答 P0.04 和 P0.01：未发送任何命令</translation>
    </message>
    <message>
        <source>drive %1 did not answer P0.14 and P0.06: nothing was sent</source>
        <translation>变频器 %1 未应答 P0.14 和 P0.06：未发送任何命令</translation>
    </message>
    <message>
        <source>%1 lies above the drive&apos;s upper limit P0.06 = %2: nothing was sent</source>
        <translation>%1 高于变频器的上限频率 P0.06 = %2：未发送任何命令</translation>
    </message>
    <message>
        <source>ignores run commands (P0.04 = %1)</source>
        <translation>不接受运行命令（P0.04 = %1）</translation>
    </message>
    <message>
        <source>own frequency (P0.01 = %1)</source>
        <translation>使用自身频率（P0.01 = %1）</translation>
    </message>
    <message>
        <source>drive %1 will ignore run commands from the line: P0.04 = %2 (%3); set it to 2 for serial control</source>
        <translation>变频器 %1 将不接受通讯线路的运行命令：P0.04 = %2（%3）；设为 2 即由串行通讯控制</translation>
    </message>
    <message>
        <source>drive %1 will keep its own frequency, not the line&apos;s: P0.01 = %2 (%3); set it to 3 for the serial line</source>
        <translation>变频器 %1 将使用自身频率，不采用通讯给定：P0.01 = %2（%3）；设为 3 即由串行通讯给定</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>合格</translation>
    </message>
    <message>
        <source>attention</source>
        <translation>需注意</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>不合格</translation>
    </message>
    <message>
        <source>not completed</source>
        <translation>未完成</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>不合格：%1</translation>
    </message>
    <message>
        <source>did not answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>will ignore the line: %1</source>
        <translation>将不受通讯控制：%1</translation>
    </message>
    <message>
        <source>tripped</source>
        <translation>故障跳闸</translation>
    </message>
    <message>
        <source>test run failed</source>
        <translation>试运行不合格</translation>
    </message>
    <message>
        <source>will ignore the line</source>
        <translation>将不受通讯控制</translation>
    </message>
    <message>
        <source>readiness not read</source>
        <translation>就绪状态未读取</translation>
    </message>
    <message>
        <source>parameters not read</source>
        <translation>参数未读取</translation>
    </message>
    <message>
        <source>match reference</source>
        <translation>与参考值一致</translation>
    </message>
    <message>
        <source>match defaults</source>
        <translation>与出厂值一致</translation>
    </message>
    <message>
        <source>1 differs from reference</source>
        <translation>1 个与参考值不同</translation>
    </message>
    <message>
        <source>1 differs from defaults</source>
        <translation>1 个与出厂值不同</translation>
    </message>
    <message>
        <source>%1 differ from reference</source>
        <translation>%1 个与参考值不同</translation>
    </message>
    <message>
        <source>%1 differ from defaults</source>
        <translation>%1 个与出厂值不同</translation>
    </message>
    <message>
        <source>; %1 not read</source>
        <translation>；%1 个未读取</translation>
    </message>
    <message>
        <source>differs from its reference</source>
        <translation>与参考值不符</translation>
    </message>
    <message>
        <source>parameters not all read</source>
        <translation>参数未全部读取</translation>
    </message>
    <message>
        <source>no test run</source>
        <translation>无试运行</translation>
    </message>
    <message>
        <source>test run not completed</source>
        <translation>试运行未完成</translation>
    </message>
    <message>
        <source>FAILED</source>
        <translation>不合格</translation>
    </message>
    <message>
        <source>NEEDS ATTENTION</source>
        <translation>需注意</translation>
    </message>
    <message>
        <source>&lt;br&gt;Line: %1 at %2</source>
        <translation>&lt;br&gt;通讯线路：%1，%2</translation>
    </message>
    <message>
        <source>not named</source>
        <translation>未填写</translation>
    </message>
    <message>
        <source>&lt;tr&gt;&lt;td&gt;Site: %1&lt;br&gt;Customer: %2&lt;br&gt;Technician: %3&lt;/td&gt;&lt;td&gt;Made: %4&lt;br&gt;Program: vfdtool %5%6&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;
</source>
        <translation>&lt;tr&gt;&lt;td&gt;现场：%1&lt;br&gt;客户：%2&lt;br&gt;调试人员：%3&lt;/td&gt;&lt;td&gt;生成时间：%4&lt;br&gt;程序：vfdtool %5%6&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;
</translation>
    </message>
    <message>
        <source>&lt;b&gt;Result: %1&lt;/b&gt; — %2 ready, %3 need attention, %4 failed (of %5)</source>
        <translation>&lt;b&gt;结论：%1&lt;/b&gt; — 就绪 %2 台，需注意 %3 台，不合格 %4 台（共 %5）</translation>
    </message>
    <message>
        <source>1 drive</source>
        <translation>1 台变频器</translation>
    </message>
    <message>
        <source>%1 drives</source>
        <translation>%1 台变频器</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>变频器</translation>
    </message>
    <message>
        <source>Edition</source>
        <translation>软件版本</translation>
    </message>
    <message>
        <source>Active fault</source>
        <translation>当前故障</translation>
    </message>
    <message>
        <source>&lt;b&gt;Acceptance&lt;/b&gt;: the drives above were commissioned as this report shows.</source>
        <translation>&lt;b&gt;验收&lt;/b&gt;：上述变频器已按本报告所示完成调试。</translation>
    </message>
    <message>
        <source>Technician: %1&lt;br&gt;Date:&lt;br&gt;Signature of the technician:&lt;br&gt;&lt;br&gt;</source>
        <translation>调试人员：%1&lt;br&gt;日期：&lt;br&gt;调试人员签字：&lt;br&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>Customer: %1&lt;br&gt;Date:&lt;br&gt;Signature of the customer:&lt;br&gt;&lt;br&gt;</source>
        <translation>客户：%1&lt;br&gt;日期：&lt;br&gt;客户签字：&lt;br&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>P0.04 = %1 (%2), P0.01 = %3 (%4)</source>
        <translation>P0.04 = %1（%2），P0.01 = %3（%4）</translation>
    </message>
    <message>
        <source>P0.04 = %1, P0.01 = %2</source>
        <translation>P0.04 = %1，P0.01 = %2</translation>
    </message>
    <message>
        <source>the drive will ignore the line (%1)</source>
        <translation>变频器将不受通讯控制（%1）</translation>
    </message>
    <message>
        <source>keypad</source>
        <translation>操作面板</translation>
    </message>
    <message>
        <source>terminals</source>
        <translation>端子</translation>
    </message>
    <message>
        <source>serial line</source>
        <translation>串行通讯</translation>
    </message>
    <message>
        <source>unknown source</source>
        <translation>未知来源</translation>
    </message>
    <message>
        <source>panel potentiometer</source>
        <translation>面板电位器</translation>
    </message>
    <message>
        <source>terminals UP/DOWN</source>
        <translation>端子 UP/DOWN</translation>
    </message>
    <message>
        <source>AVI input</source>
        <translation>AVI 输入</translation>
    </message>
    <message>
        <source>ACI input</source>
        <translation>ACI 输入</translation>
    </message>
    <message>
        <source>external terminal</source>
        <translation>外部端子</translation>
    </message>
    <message>
        <source>pulse input</source>
        <translation>脉冲输入</translation>
    </message>
    <message>
        <source>combination</source>
        <translation>组合给定</translation>
    </message>
    <message>
        <source>model setting</source>
        <translation>机型设定</translation>
    </message>
    <message>
        <source>: </source>
        <translation>：</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot write %1: the PDF could not be started</source>
        <translation>无法写入 %1：无法开始生成 PDF</translation>
    </message>
    <message>
        <source>verified</source>
        <translation>已校验</translation>
    </message>
</context>
</TS>
